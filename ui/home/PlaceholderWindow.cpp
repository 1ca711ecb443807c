#include "ui/home/PlaceholderWindow.h"

#include "app/DataHead.h"
#include "app/UI.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderWindow::PlaceholderWindow(QWidget* parent) : QMainWindow(parent), mConnection(new QLabel)
{
    DataHead* head = DataHead::instance();
    const QString version = head->getMSoftWareVersion().toString();
    setWindowTitle(UI::AppTitle.arg(version));
    auto* title = new QLabel(QString("%1\n%2").arg(UI::AppTitle.arg(version), DataHead::compilingDate()));
    title->setAlignment(Qt::AlignCenter);
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    title->setFont(font);
    mConnection->setAlignment(Qt::AlignCenter);
    mConnection->setText(QStringLiteral("正在查找仪器…"));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addStretch();
    layout->addWidget(title);
    layout->addWidget(mConnection);
    layout->addStretch();
    setCentralWidget(central);
    const QSize screen = UI::ScreenSize();
    resize(screen.isValid() ? screen * 0.6 : QSize(1024, 640));
}

void PlaceholderWindow::slotMachineData(MachineData data)
{
    if (!data.isOpen) {
        mConnection->setText(QStringLiteral("仪器未连接"));
        return;
    }
    QStringList modules;
    for (quint8 m : data.pcrModels)
        if (m != 0)
            modules << QString("PCR %1").arg(m);
    mConnection->setText(QStringLiteral("仪器已连接 (%1): %2").arg(data.comName, modules.join(", ")));
}
