#pragma once
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>

// Keys go where a user's keyboard goes: to the widget that has the focus.
void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void type(const QString &text);
// Lets queued events (posted keys, deferred openings) run.
void settle(int ms = 0);

// Steps for modal windows, run inside each one's own event loop as it becomes the active modal
// window. List the steps first, then do what opens the first window, then call finish().
class ModalScript : public QObject {
public:
    ModalScript();
    ~ModalScript() override;

    template <class W>
    ModalScript &expect(std::function<void(W *)> step)
    {
        steps_ << Step{W::staticMetaObject.className(), [step](QWidget *w) { step(static_cast<W *>(w)); }};
        return *this;
    }
    // Spins the event loop until every step ran; false when one was missing or unexpected.
    bool finish(int timeoutMs = 10000);
    QString failure() const { return failure_; }

    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void tryStep(QWidget *window, int attempt);

    struct Step {
        const char *className;
        std::function<void(QWidget *)> run;
    };
    QList<Step> steps_;
    int next_ = 0;
    QString failure_;
};
