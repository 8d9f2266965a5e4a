// Numbers handed to the page as one JavaScript typed array (a copy, so that the page keeps it
// after the module's memory grows or the vector is gone): Float64Array for doubles,
// Float32Array for floats. One packing for every binding of a module.
#pragma once

#include <emscripten/val.h>

#include <type_traits>
#include <vector>

namespace dosavia::web {

template <typename T>
emscripten::val TypedArray(const std::vector<T>& values) {
  static_assert(std::is_same_v<T, double> || std::is_same_v<T, float>);
  using emscripten::val;
  val array =
      val::global(std::is_same_v<T, double> ? "Float64Array" : "Float32Array").new_(values.size());
  array.call<void>("set", val(emscripten::typed_memory_view(values.size(), values.data())));
  return array;
}

}  // namespace dosavia::web
