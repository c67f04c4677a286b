// The floor for the program's start-up: the least a Qt Widgets program does
// to show a window of the same size (476 x 396), in the same style. It quits
// as soon as the window has been painted, so it can also be timed on its own;
// bench/startup.sh instead times it and the program from the outside, to the
// moment their window is mapped.
//
//   minimal_window          a bare window, no text
//   minimal_window --text   the same with one line of text in the program's
//                           font (Times New Roman 12 pt), sized to its text
//                           before the window is shown, as a laid-out window
//                           would be: finding and loading the font is then
//                           part of the floor too, before the window maps

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

class MinimalWindow final : public QWidget {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Paint && !quitting_) {
            quitting_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QWidget::event(event);
    }

private:
    bool quitting_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    MinimalWindow window;
    window.setWindowTitle(QStringLiteral("minimal_window"));
    window.setFixedSize(476, 396);
    if (withText) {
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSize(12);
        window.setFont(font);
        auto* label = new QLabel(QStringLiteral("Температура: 0"), &window);
        label->move(8, 8);
        label->adjustSize();  // measures the text: the font is found and loaded now
    }
    window.show();
    return application.exec();
}
