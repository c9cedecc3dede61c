#pragma once
#include <QDialog>

// The cross-tab definition window.
class SelectionScreen : public QDialog {
    Q_OBJECT
public:
    static SelectionScreen &instance();
    void EntryType(int EType, const QString &LastRecNo);

private:
    SelectionScreen() = default;
};
