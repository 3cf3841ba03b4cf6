// The Variant value type: construction, subtype query and checked raw access. Conversions with
// the language's rules live in conversions.cpp.
#include "platform/runtime/valor.h"

#include "platform/runtime/vb_error.h"

namespace runtime {

Valor Valor::Null() { return Valor(Storage(NullTag{})); }
Valor Valor::Integer(int16_t x) { return Valor(Storage(x)); }
Valor Valor::Long(int32_t x) { return Valor(Storage(x)); }
Valor Valor::Single(float x) { return Valor(Storage(SingleValue{x})); }
Valor Valor::Double(double x) { return Valor(Storage(x)); }
Valor Valor::Currency(CurrencyUnits x) { return Valor(Storage(x)); }
Valor Valor::Decimal(double x, int scale) { return Valor(Storage(DecimalValue{x, scale})); }
Valor Valor::Date(DateSerial x) { return Valor(Storage(x)); }
Valor Valor::String(std::string x) { return Valor(Storage(std::move(x))); }
Valor Valor::Boolean(bool x) { return Valor(Storage(x)); }

VarType Valor::Type() const {
  static constexpr VarType kByIndex[] = {
      VarType::kEmpty,    VarType::kNull, VarType::kInteger, VarType::kLong,
      VarType::kSingle,   VarType::kDouble, VarType::kCurrency, VarType::kDate,
      VarType::kString,   VarType::kBoolean, VarType::kDecimal};
  return kByIndex[v_.index()];
}

namespace {
template <typename T, typename V>
const T& Get(const V& v) {
  const T* p = std::get_if<T>(&v);
  if (p == nullptr) RaiseVbError(kVbTypeMismatch);
  return *p;
}
}  // namespace

int16_t Valor::AsInteger() const { return Get<int16_t>(v_); }
int32_t Valor::AsLong() const { return Get<int32_t>(v_); }
double Valor::AsDouble() const {
  if (const auto* s = std::get_if<SingleValue>(&v_)) return s->value;
  if (const auto* d = std::get_if<DecimalValue>(&v_)) return d->value;
  return Get<double>(v_);
}
int Valor::DecimalScale() const { return Get<DecimalValue>(v_).scale; }
CurrencyUnits Valor::AsCurrency() const { return Get<CurrencyUnits>(v_); }
DateSerial Valor::AsDate() const { return Get<DateSerial>(v_); }
const std::string& Valor::AsString() const { return Get<std::string>(v_); }
bool Valor::AsBoolean() const { return Get<bool>(v_); }

bool operator==(const Valor& a, const Valor& b) { return a.v_ == b.v_; }

}  // namespace runtime
