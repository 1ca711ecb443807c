#pragma once

#include "method/SMethod.h"

#include <QDialog>

class QLineEdit;

namespace Ui {
class ZParameterDialog;
}

// The full editor of method files: every field of a method, the targets of every hole and
// channel in a table, and the temperature program. Saving writes the method file and its
// compressed copy.
class ZParameterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ZParameterDialog(QWidget* parent = nullptr);
    ~ZParameterDialog() override;

    void jsonToUi(const SMethod& method);
    void uiToJson(SMethod& method);
    void setTableWidget(int holes, int channels);
    void setTableWidget(const SMethod& method);
    static QString vectorToString(QVector<int> holes);
    static QVector<int> stringTovector(QString text);

    // What "打开" and "保存" do once a file is chosen; false when it could not be read or written.
    bool openMethodFile(const QString& path);
    bool saveMethodFile(const QString& path);

    QLineEdit* channelEdit(int channel) const { return mChannelEdits.value(channel); }
    QLineEdit* sampleEdit(int sample) const { return mSampleEdits.value(sample); }

signals:
    // A method file was written (the audit trail is kept by the window that opened the dialog).
    void methodSaved(const QString& path);

public slots:
    void on_pBn_Open_clicked();
    void on_pBn_Save_clicked();
    void on_spin_Channel_valueChanged(int count);
    void on_spin_Sample_valueChanged(int count);
    void on_spin_Hole_valueChanged(int count);
    void on_pBn_Const_clicked();
    void on_pBn_Cycle_clicked();
    void on_pBn_Melt_clicked();
    void on_pBn_NodePre_clicked();
    void on_pBn_NodeAfter_clicked();
    void on_pBn_Del_clicked();
    void slotPBnImageClicked();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // Grows or shrinks a row of line edits to count, creating new ones with make.
    void resizeEdits(QVector<QLineEdit*>& edits, QWidget* holder, int count, int perRow);
    // Marks a sample's hole list red while it names a hole that is not on the chip.
    void markSampleEdit(QLineEdit* edit);

    Ui::ZParameterDialog* ui;
    SMethod mMethod;
    QVector<QLineEdit*> mChannelEdits;
    QVector<QLineEdit*> mSampleEdits;
};
