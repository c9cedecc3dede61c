#include "support/FakeMessages.h"

FakeMessages &FakeMessages::instance()
{
    static FakeMessages fake;
    return fake;
}

app::Answer FakeMessages::ask(const app::Message &message)
{
    shown << message;
    return answers.isEmpty() ? message.defaultButton : answers.dequeue();
}

