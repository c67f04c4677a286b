#include "threshold_box.h"

#include <QFontMetrics>
#include <QValidator>

#include <algorithm>

namespace qt_window {

// Every change of the text passes here before it is applied. A user edit
// may shrink the text, or grow it up to the limit; characters inserted
// beyond the limit are dropped, so a pasted "123" becomes "12". A box the
// program filled beyond the limit can be shortened but not lengthened.
class TypingLimitValidator final : public QValidator {
public:
    explicit TypingLimitValidator(ThresholdBox* box) : QValidator(box), box_(box) {}

    State validate(QString& input, int& position) const override {
        const QString& before = box_->lastText_;
        const int limit = box_->typingLimit_;
        if (box_->programWrite_ || limit <= 0) return Acceptable;
        const qsizetype allowed = std::max<qsizetype>(limit, before.size());
        if (input.size() <= allowed) return Acceptable;

        // The inserted run lies between the longest common prefix and suffix.
        qsizetype prefix = 0;
        while (prefix < before.size() && prefix < input.size() && before[prefix] == input[prefix]) ++prefix;
        qsizetype suffix = 0;
        while (suffix < before.size() - prefix && suffix < input.size() - prefix &&
               before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix]) {
            ++suffix;
        }
        const qsizetype excess = input.size() - allowed;
        const qsizetype insertedEnd = input.size() - suffix;
        const qsizetype cut = std::min(excess, insertedEnd - prefix);
        input.remove(insertedEnd - cut, cut);
        position = static_cast<int>(std::min<qsizetype>(insertedEnd - cut, input.size()));
        return input.size() <= allowed ? Acceptable : Invalid;
    }

private:
    ThresholdBox* box_;
};

ThresholdBox::ThresholdBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new TypingLimitValidator(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
}

void ThresholdBox::SetTypingLimit(int characters) { typingLimit_ = characters; }

void ThresholdBox::WriteText(const QString& text) {
    if (text == this->text()) return;
    programWrite_ = true;
    setText(text);  // textChanged records it as the last text
    programWrite_ = false;
}

QRect ThresholdBox::CharacterRect(int offset) const {
    const QString text = this->text();
    if (offset < 0 || offset >= text.size()) return {};
    // The caret is drawn where the character at the cursor position starts;
    // the other characters lie at their advance from it.
    const QFontMetrics metrics(font());
    const QRect caret = cursorRect();
    const int x = caret.center().x() + metrics.horizontalAdvance(text.left(offset)) -
                  metrics.horizontalAdvance(text.left(cursorPosition()));
    return {x, caret.top(), metrics.horizontalAdvance(text.at(offset)), caret.height()};
}

}  // namespace qt_window
