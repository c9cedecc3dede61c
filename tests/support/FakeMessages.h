#pragma once
#include "app/Messages.h"
#include <QList>
#include <QQueue>

// Records every message box and answers from a queue (the default button when it is empty).
class FakeMessages : public app::MessageSeam {
public:
    static FakeMessages &instance()
    {
        static FakeMessages fake;
        return fake;
    }

    app::Answer ask(const app::Message &message) override
    {
        shown << message;
        return answers.isEmpty() ? message.defaultButton : answers.dequeue();
    }

    void answer(app::Answer a) { answers.enqueue(a); }
    void clear()
    {
        shown.clear();
        answers.clear();
    }

    QList<app::Message> shown;
    QQueue<app::Answer> answers;
};
