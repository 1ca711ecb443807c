#include "ui/dialogs/SavePath.h"

#include <QFileDialog>

QString askSavePath(QWidget* parent, const QString& title, const QString& proposed, const QString& suffix)
{
    QFileDialog dialog(parent, title, proposed, QString("%1 (*.%1)").arg(suffix));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
