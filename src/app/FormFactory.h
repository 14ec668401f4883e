#pragma once

#include "app/FormId.h"

#include <memory>

namespace zampli {

class Form;
class Modulo1;

// Makes the window of a kind; null for a kind this program does not have yet.
std::unique_ptr<Form> createForm(FormId id, Modulo1 &m);

} // namespace zampli
