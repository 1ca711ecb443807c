#pragma once

#include <QPushButton>

// One well of the chip. Its picture follows its check state, its row (upper or lower) and, when
// checked, its result (ColorType, read by the style sheet).
class HoleButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(int ColorType READ getColorType WRITE setColorType)
public:
    enum HoleLocal { UpperRow = 0, LowerRow = 1 };
    // Result pictures: no result, all negative, FAM only, ROX only, both positive, and a hole
    // whose internal control failed (nothing amplified, so its sample is invalid).
    enum { NoResult = 0, AllNegative = 1, FamPositive = 2, RoxPositive = 3, AllPositive = 4, ControlFailed = 5 };

    explicit HoleButton(int number, QWidget* parent = nullptr);

    int getNumber() const { return mNumber; }
    void setNumber(int number) { mNumber = number; }
    int getColorType() const { return mColorType; }
    void setColorType(int type);
    void setColorType(const bool& fam, const bool& rox);
    void setHoleLocal(HoleLocal local);

signals:
    void signalHovered(int number, bool entered);

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int mNumber;
    int mColorType = NoResult;
};
