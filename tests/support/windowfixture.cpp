// SPDX-License-Identifier: MIT
#include "windowfixture.h"

#include <QPushButton>
#include <QTest>

bool WindowFixture::start(MessageBox *messageBox)
{
    window = std::make_unique<MainWindow>(WindowServices{&dialog, messageBox, &programEnd});
    window->show();
    return dir.isValid() && QTest::qWaitForWindowExposed(window.get());
}

void WindowFixture::activate(const QString &entryPoint) const
{
    if (entryPoint == QLatin1String("Return") || entryPoint == QLatin1String("Escape")) {
        field()->setFocus();
        QTest::keyClick(field(), entryPoint == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
    } else if (auto *button = window->findChild<QPushButton *>(entryPoint)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        child<QAction>(entryPoint)->trigger();
    }
}
