#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace nvrp {

// A set of the values of an enumeration: bit n stands for the value of ordinal n.
template <typename Enum, typename Bits = uint32_t>
class EnumSet {
  static_assert(std::is_enum_v<Enum>);

 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<Enum> values) {
    for (Enum v : values) insert(v);
  }
  static constexpr EnumSet FromBits(Bits bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool contains(Enum v) const { return (bits_ & Bit(v)) != 0; }
  constexpr void insert(Enum v) { bits_ = static_cast<Bits>(bits_ | Bit(v)); }
  constexpr void erase(Enum v) { bits_ = static_cast<Bits>(bits_ & ~Bit(v)); }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr Bits bits() const { return bits_; }

  friend constexpr EnumSet operator|(EnumSet a, EnumSet b) {
    return FromBits(static_cast<Bits>(a.bits_ | b.bits_));
  }
  friend constexpr EnumSet operator|(EnumSet a, Enum b) { return a | EnumSet{b}; }
  friend constexpr bool operator==(EnumSet a, EnumSet b) = default;

 private:
  static constexpr Bits Bit(Enum v) {
    return static_cast<Bits>(Bits{1} << static_cast<unsigned>(v));
  }
  Bits bits_ = 0;
};

}  // namespace nvrp
