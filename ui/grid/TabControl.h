#pragma once
#include <QTabWidget>

// The wizard's pages. Setting the current page shows it and raises pageClick, as a click does.
class TabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget *parent = nullptr) : QTabWidget(parent)
    {
        connect(this, &QTabWidget::currentChanged, this, [this](int) { emit pageClick(); });
    }
    int tab() const { return currentIndex(); }
    void setTab(int page) { setCurrentIndex(page); }

signals:
    void pageClick();
};
