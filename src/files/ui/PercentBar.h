#pragma once
// A bar that fills in proportion to a fraction and shows it as a percentage;
// where the fill lies under the percentage, it is drawn in the contrasting colour.
#include <QWidget>

class PercentBar : public QWidget {
    Q_OBJECT
public:
    explicit PercentBar(QWidget* parent = nullptr);
    // Clamped to 0..1.
    void setFraction(double fraction);
    double fraction() const { return fraction_; }
    int percent() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double fraction_ = 0;
};
