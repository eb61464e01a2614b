#pragma once

// The real Qt window for widget tests, as the program opens it.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/picture_box.h"

// The window as the program opens it: loaded, shown and active. Messages are
// recorded instead of waiting for a user to press OK.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { open('.'); }

    void open(char separator)
    {
        window = std::make_unique<MainWindow>(separator);
        window->setMessagePresenter([this](const QString& m) { messages << m; });
        window->load();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T = QWidget> T* find(const char* name) const
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    QString caption(const char* name) const { return find<QLabel>(name)->text(); }
    PictureBox* picture() const { return find<PictureBox>("Picture2"); }
    const calvetra::DisplayList& drawing() const { return picture()->displayList(); }
    double twips(double pixels) const { return pixels * 1440.0 / window->logicalDpiX(); }

    void type(const char* name, const char* keys)
    {
        QLineEdit* edit = box(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(keys));
    }

    void clickCalcular() { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }

    std::unique_ptr<MainWindow> window;
    QStringList messages;
};
