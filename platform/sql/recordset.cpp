// Recordset, Fields and Field over a materialised result. Forward-only: the position only moves
// on, except MoveFirst, which re-reads from the first row. Field handles share the rows with the
// recordset so that Rs("x") taken once keeps following MoveNext.
#include <utility>

#include "platform/sql/client.h"
#include "platform/sql/internal/ado_errors.h"
#include "platform/sql/internal/names.h"

namespace sql {
namespace internal {

struct Cursor {
  RowSet rows;
  size_t position = 0;
  bool open = true;
};

}  // namespace internal

namespace {
constexpr char kRecordsetSource[] = "ADODB.Recordset";
constexpr char kFieldSource[] = "ADODB.Field";
}  // namespace

Field::Field(std::shared_ptr<const internal::Cursor> cursor, int ordinal)
    : cursor_(std::move(cursor)), ordinal_(ordinal) {}

const std::string& Field::Name() const { return cursor_->rows.fields[ordinal_].name; }
int Field::Type() const { return cursor_->rows.fields[ordinal_].type; }
long Field::DefinedSize() const { return cursor_->rows.fields[ordinal_].defined_size; }
int Field::Precision() const { return cursor_->rows.fields[ordinal_].precision; }
int Field::NumericScale() const { return cursor_->rows.fields[ordinal_].numeric_scale; }

runtime::Valor Field::Value() const {
  if (!cursor_->open) internal::RaiseAdo(kAdoObjectClosed, kFieldSource);
  if (cursor_->position >= cursor_->rows.rows.size()) {
    internal::RaiseAdo(kAdoNoCurrentRecord, kFieldSource);
  }
  return cursor_->rows.rows[cursor_->position][ordinal_];
}

Fields::Fields(std::shared_ptr<const internal::Cursor> cursor) : cursor_(std::move(cursor)) {}

int Fields::Count() const {
  return cursor_ ? static_cast<int>(cursor_->rows.fields.size()) : 0;
}

Field Fields::Item(int ordinal) const {
  if (ordinal < 0 || ordinal >= Count()) internal::RaiseAdo(kAdoItemNotFound, kRecordsetSource);
  return Field(cursor_, ordinal);
}

Field Fields::Item(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (internal::SameName(cursor_->rows.fields[i].name, name)) return Field(cursor_, i);
  }
  internal::RaiseAdo(kAdoItemNotFound, kRecordsetSource);
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

// A statement that produced no result set at all (no columns) leaves the recordset closed.
Recordset::Recordset(std::optional<RowSet> rows) {
  if (rows && !rows->fields.empty()) {
    cursor_ = std::make_shared<internal::Cursor>();
    cursor_->rows = std::move(*rows);
  }
}

void Recordset::Open(const std::string& source, Connection& connection, int, int, long) {
  if (State() == adStateOpen) internal::RaiseAdo(kAdoObjectOpen, kRecordsetSource);
  ProviderSession& session = connection.Session(kRecordsetSource, kAdoInvalidConnection);
  *this = Recordset(session.Execute(source));
}

void Recordset::Close() {
  RequireOpen();
  // Field handles still held see the rows as closed; the next Open starts new rows.
  cursor_->open = false;
  cursor_.reset();
}

int Recordset::State() const { return cursor_ ? adStateOpen : adStateClosed; }

void Recordset::RequireOpen() const {
  if (!cursor_) internal::RaiseAdo(kAdoObjectClosed, kRecordsetSource);
}

bool Recordset::Eof() const {
  RequireOpen();
  return cursor_->position >= cursor_->rows.rows.size();
}

// Forward-only: the position can never stand before the first row, so BOF is only true when
// there is no row at all.
bool Recordset::Bof() const {
  RequireOpen();
  return cursor_->rows.rows.empty();
}

void Recordset::MoveNext() {
  if (Eof()) internal::RaiseAdo(kAdoNoCurrentRecord, kRecordsetSource);
  ++cursor_->position;
}

void Recordset::MoveFirst() {
  if (Bof()) internal::RaiseAdo(kAdoNoCurrentRecord, kRecordsetSource);
  cursor_->position = 0;
}

sql::Fields Recordset::Fields() const { return sql::Fields(cursor_); }

}  // namespace sql
