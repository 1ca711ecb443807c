#include "ui/home/PlaceholderWindow.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    auto* home = new PlaceholderWindow;
    home->show();
    const int code = app.exec();
    delete home;
    return code;
}
