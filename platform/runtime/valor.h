// The VB Variant as a value type (`Valor`): the values that flow between the windows, the
// database client and the conversions. Holds exactly one of VB's subtypes; knows nothing of
// databases or widgets.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace runtime {

// VarType codes as VB reports them.
enum class VarType : int {
  kEmpty = 0,
  kNull = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7,
  kString = 8,
  kBoolean = 11,
  kDecimal = 14,
};

// A VB date: days since 30/12/1899 (day 0), the fraction being the time of day.
struct DateSerial {
  double days = 0;
  friend bool operator==(const DateSerial&, const DateSerial&) = default;
};

// Currency: a count of ten-thousandths, as VB stores it.
struct CurrencyUnits {
  int64_t units = 0;
  friend bool operator==(const CurrencyUnits&, const CurrencyUnits&) = default;
};

class Valor {
 public:
  Valor() = default;  // Empty

  static Valor Empty() { return Valor(); }
  static Valor Null();
  static Valor Integer(int16_t v);
  static Valor Long(int32_t v);
  static Valor Single(float v);
  static Valor Double(double v);
  static Valor Currency(CurrencyUnits v);
  // A Decimal subtype; held as a double with the scale it had (ADO's numeric columns).
  static Valor Decimal(double v, int scale);
  static Valor Date(DateSerial v);
  static Valor String(std::string v);
  static Valor Boolean(bool v);

  VarType Type() const;
  bool IsEmpty() const { return Type() == VarType::kEmpty; }
  bool IsNull() const { return Type() == VarType::kNull; }

  // Raw access. REQUIRES: Type() is the matching subtype (checked: a mismatch throws
  // VbError 13 "Type mismatch"). For conversions with VB's rules see conversions.h.
  int16_t AsInteger() const;
  int32_t AsLong() const;
  double AsDouble() const;  // kSingle, kDouble, kDecimal
  int DecimalScale() const;  // kDecimal
  CurrencyUnits AsCurrency() const;
  DateSerial AsDate() const;
  const std::string& AsString() const;
  bool AsBoolean() const;

  // Same subtype and same content (Double 1 and Long 1 differ; Null equals Null here, unlike
  // VB's "=": this is value identity, not the language's comparison).
  friend bool operator==(const Valor&, const Valor&);

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };
  struct DecimalValue {
    double value;
    int scale;
    friend bool operator==(const DecimalValue&, const DecimalValue&) = default;
  };
  struct SingleValue {
    float value;
    friend bool operator==(const SingleValue&, const SingleValue&) = default;
  };
  // Alternatives in VarType order (Type() relies on it).
  using Storage = std::variant<std::monostate, NullTag, int16_t, int32_t, SingleValue, double,
                               CurrencyUnits, DateSerial, std::string, bool, DecimalValue>;
  explicit Valor(Storage v) : v_(std::move(v)) {}
  Storage v_;
};

}  // namespace runtime
