#pragma once

#include "main_form.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace qt_window::testing {

// A freshly created window, shown and exposed; fatal errors are recorded
// instead of ending the program.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<MainForm>();
        form->SetFatalHandler([this](const QString& message) { fatalMessages << message; });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    std::unique_ptr<MainForm> form;
    QStringList fatalMessages;
};

}  // namespace qt_window::testing
