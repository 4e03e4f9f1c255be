#pragma once

#include <QColor>
#include <QWidget>

namespace qta::app {

// One lamp image of the diagnostics page, drawn as a shaded disc. The page puts
// a grey (unlit) lamp on top of a lit one; hiding the grey one shows the lit one.
class Lamp : public QWidget {
    Q_OBJECT
public:
    enum class Colour { Green, Red, Grey };

    Lamp(const QString& name, Colour colour, QWidget* parent);

    QSize sizeHint() const override { return {18, 18}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor colour_;
};

} // namespace qta::app
