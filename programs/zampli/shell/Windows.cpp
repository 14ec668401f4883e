// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Windows.h"

#include "shell/Form.h"

namespace zampli {

Windows::Windows(Modulo1 &modulo, Factory factory) : m(modulo), factory_(std::move(factory)) {}

// Explicit, so windows go while the tracker they report to still exists.
Windows::~Windows() { forms_.clear(); }

Form *Windows::form(FormId id)
{
    if (auto it = forms_.find(id); it != forms_.end())
        return it->second.get();
    std::unique_ptr<Form> made = factory_(id, *this);
    if (!made)
        return nullptr;
    return forms_.emplace(id, std::move(made)).first->second.get();
}

} // namespace zampli
