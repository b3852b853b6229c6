#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tickora"));
    QApplication::setApplicationVersion(QStringLiteral(TICKORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Tickora"));

    MainWindow window;
    window.show();
    return QApplication::exec();
}
