#include "instrument/ListenInterface.h"
#include "ui/home/PlaceholderWindow.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    auto* home = new PlaceholderWindow;
    ListenInterface listen;
    app.installNativeEventFilter(&listen);
    home->show();
    QObject::connect(&listen, &ListenInterface::signalMachineData, home, &PlaceholderWindow::slotMachineData);
    const int code = app.exec();
    delete home;
    return code;
}
