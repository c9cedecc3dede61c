#pragma once
#include <QFocusEvent>
#include <QLineEdit>

// A text box with a tag: an invisible second text that travels with the box (for a field box,
// the expression behind the caption it shows).
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    QString tag;
    // How the box got the focus last.
    Qt::FocusReason lastReason = Qt::OtherFocusReason;

signals:
    void gotFocus(Qt::FocusReason reason);

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        lastReason = event->reason();
        emit gotFocus(event->reason());
    }
};
