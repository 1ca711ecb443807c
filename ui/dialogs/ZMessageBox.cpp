#include "ui/dialogs/ZMessageBox.h"

#include "app/UI.h"
#include "ui_ZMessageBox.h"

ZMessageBox::ZMessageBox(QWidget* parent) : QDialog(parent), ui(new Ui::ZMessageBox)
{
    ui->setupUi(this);
    setWindowTitle(UI::MessageTitle);
    // Still a dialog: without the type a parented box would become a hidden child of its parent.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(408, 304);
}

ZMessageBox::~ZMessageBox()
{
    delete ui;
}

void ZMessageBox::setMessageInfo(const QString& text)
{
    ui->label_Info->setText(text);
}

void ZMessageBox::setNotice()
{
    ui->pushButton_Cancel->hide();
    // The one button stands in the middle.
    ui->spacerMiddle->changeSize(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    ui->horizontalLayout->invalidate();
}

void ZMessageBox::tell(QWidget* parent, const QString& text)
{
    ZMessageBox box(parent);
    box.setMessageInfo(text);
    box.setNotice();
    box.exec();
}

ZMessageBox* ZMessageBox::notify(QWidget* parent, const QString& text)
{
    auto* box = new ZMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setMessageInfo(text);
    box->setNotice();
    box->show();
    return box;
}

bool ZMessageBox::ask(QWidget* parent, const QString& text)
{
    ZMessageBox box(parent);
    box.setMessageInfo(text);
    return box.exec() == 1;
}
