// The core as the module builds it: the page script on its engine, with every native.
#pragma once

#include <memory>

#include "core/FmsCore.h"

namespace halvex {

std::unique_ptr<FmsCore> MakeStandardCore();

}  // namespace halvex
