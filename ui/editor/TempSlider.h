#pragma once

#include <QCheckBox>
#include <QSlider>

// A hold's temperature in hundredths of a degree (0 to 10000), vertical. It carries the hold's
// reading check box beside its handle, shown only in cycle stages.
class TempSlider : public QSlider
{
    Q_OBJECT
public:
    explicit TempSlider(QWidget* parent = nullptr);

    QCheckBox* testBox() const { return mTest; }
    void setTestVisible(bool visible);
    // The centre of the handle, in the slider's coordinates.
    QPoint handleCenter() const;
    // Where the handle's centre would be for a value, in the slider's coordinates.
    QPoint handleCenterAt(int value) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTestBox();

    QCheckBox* mTest;
};
