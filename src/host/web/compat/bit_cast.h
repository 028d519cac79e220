// Debian's emscripten (3.1.6) ships a C++ library older than std::bit_cast; its compiler has the
// builtin that the standard one is made of. Given to every file of the browser build.
#pragma once

#include <version>

#ifndef __cpp_lib_bit_cast
#include <type_traits>

namespace std {

template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}

}  // namespace std
#endif
