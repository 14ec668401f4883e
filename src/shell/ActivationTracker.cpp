#include "shell/ActivationTracker.h"

#include "shell/Form.h"

namespace zampli {

void ActivationTracker::activated(Form &form)
{
    if (last_ == &form)
        return;
    last_ = &form;
    form.runActivation();
}

void ActivationTracker::unloaded(Form &form)
{
    if (last_ == &form)
        last_ = nullptr;
}

} // namespace zampli
