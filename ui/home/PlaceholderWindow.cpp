#include "ui/home/PlaceholderWindow.h"

#include "app/DataHead.h"
#include "app/UI.h"

#include <QLabel>

PlaceholderWindow::PlaceholderWindow(QWidget* parent) : QMainWindow(parent)
{
    DataHead* head = DataHead::instance();
    const QString version = head->getMSoftWareVersion().toString();
    setWindowTitle(UI::AppTitle.arg(version));
    auto* label = new QLabel(QString("%1\n%2").arg(UI::AppTitle.arg(version), DataHead::compilingDate()), this);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(font.pointSize() * 2);
    label->setFont(font);
    setCentralWidget(label);
    const QSize screen = UI::ScreenSize();
    resize(screen.isValid() ? screen * 0.6 : QSize(1024, 640));
}
