#pragma once

#include "files/OutData.h"

#include <QDialog>

class TempData;

namespace Ui {
class ZHighDialog;
}

// The analysis settings of one hole and channel of a finished experiment: its curve with the
// threshold and the Ct, and the settings that produce them. "设定" stores the settings in the
// record and recomputes; the context menu of "设定" copies them to every hole, or to every hole
// of one channel: a preview. With "应用到本通道所有孔" checked, "设定" gives the threshold to every
// hole of the channel at once. "保存" stores the settings as shown and accepts (the page then
// refreshes and saves); "退出" (or closing) puts back the settings in force when it opened, so
// the record always agrees with what the page shows and saves.
class ZHighDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ZHighDialog(QWidget* parent = nullptr);
    ~ZHighDialog() override;

    void setOutData(OutData& data, int hole, int channel, bool relative);
    TargetInfo currentTarget() const { return mTarget; }
    void reject() override;

public slots:
    void on_checkBox_AutoThreshold_stateChanged(int state);
    void on_checkBox_AutoRange_stateChanged(int state);
    void on_checkBox_Relative_stateChanged(int state);
    void on_pushButton_Set_clicked();
    void on_pushButton_Confirm_clicked();
    void on_pushButton_Cancel_clicked();
    void slotSetCustomContextMenuRequested(const QPoint& at);

private:
    static constexpr int MinWindow = 3;
    int curveIndex() const { return mHole * qMax(mData->inData.method.ChannelColor, 1) + mChannel; }
    // The settings into the widgets, or only the values the analysis may have chosen.
    void targetToUi(bool withName);
    // The relative view (corrected curve, threshold line, settings panel) or the raw one.
    void applyView(bool relative, const TempData& results);
    // Copies the current settings to every curve of channel (-1: of every channel).
    void applyToChannel(int channel);

    Ui::ZHighDialog* ui;
    OutData* mData = nullptr;
    QVector<TargetInfos> mTargetsInForce;
    int mHole = 0;
    int mChannel = 0;
    TargetInfo mTarget;
};
