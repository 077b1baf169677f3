// TFormAnimationSpeed, the "Animation Speed" tool window of the GIF explorer: an edit with
// up-down buttons, 0 to 1000 percent in steps of 10. Every change is reported to the
// explorer, which gives it to the document it shows.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QSpinBox;

class TFormAnimationSpeed : public QWidget {
    Q_OBJECT
public:
    // Starts at the codec's default animation speed.
    explicit TFormAnimationSpeed(QWidget* parent = nullptr);

    void SetSpeed(int percent);
    int GetSpeed() const;

    // Called after each change of the speed, with the new value.
    std::function<void(int)> OnSpeedChange;

    QLabel* LabelSpeed = nullptr;
    QLineEdit* EditSpeed = nullptr;
    QSpinBox* UpDownSpeed = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void EditSpeedChange(int position);
};
