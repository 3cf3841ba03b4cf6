// Grid: a table of text cells with fixed rows/columns, column widths and alignments, the
// current cell, and row-wise AddItem/RemoveItem with tab-separated text. Part of consolida_ui.
#include <algorithm>

#include "platform/ui/controls.h"
#include "platform/ui/internal/helpers.h"

namespace ui {

namespace {
constexpr long kInvalidRow = 30009;
constexpr long kInvalidCol = 30010;
constexpr long kLastNonFixedRow = 30015;
}  // namespace

Grid::Grid(Form& form, std::string name, Frame* container, int index)
    : Control(form, std::move(name), ControlKind::kGrid, container, index) {
  state_.cells.assign(2, std::vector<std::string>(2));
  state_.columns.resize(2);
}

void Grid::CheckCell(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= Cols()) internal::ThrowBadIndex();
}

void Grid::SetRows(int rows) {
  if (rows < state_.fixed_rows) internal::ThrowGridError(kInvalidRow, "Invalid Row value");
  if (rows == Rows()) return;
  state_.cells.resize(rows, std::vector<std::string>(Cols()));
  state_.row = std::clamp(state_.row, 0, std::max(0, rows - 1));
  Notify(ControlChange::kItems);
}

void Grid::SetCols(int cols) {
  if (cols < state_.fixed_cols) internal::ThrowGridError(kInvalidCol, "Invalid Col value");
  if (cols == Cols()) return;
  for (auto& row : state_.cells) row.resize(cols);
  state_.columns.resize(cols);
  state_.col = std::clamp(state_.col, 0, std::max(0, cols - 1));
  Notify(ControlChange::kItems);
}

void Grid::SetFixedRows(int rows) {
  if (rows < 0 || rows > Rows()) internal::ThrowGridError(kInvalidRow, "Invalid Row value");
  if (rows == state_.fixed_rows) return;
  state_.fixed_rows = rows;
  Notify(ControlChange::kFormat);
}

void Grid::SetFixedCols(int cols) {
  if (cols < 0 || cols > Cols()) internal::ThrowGridError(kInvalidCol, "Invalid Col value");
  if (cols == state_.fixed_cols) return;
  state_.fixed_cols = cols;
  Notify(ControlChange::kFormat);
}

const std::string& Grid::TextMatrix(int row, int col) const {
  CheckCell(row, col);
  return state_.cells[row][col];
}

void Grid::SetTextMatrix(int row, int col, std::string text) {
  CheckCell(row, col);
  if (state_.cells[row][col] == text) return;
  state_.cells[row][col] = std::move(text);
  Notify(ControlChange::kItems, row, col);
}

int Grid::ColWidth(int col) const {
  if (col < 0 || col >= Cols()) internal::ThrowBadIndex();
  return state_.columns[col].width;
}

void Grid::SetColWidth(int col, int twips) {
  if (col < 0 || col >= Cols()) internal::ThrowBadIndex();
  if (twips < -1) internal::ThrowBadValue();
  if (state_.columns[col].width == twips) return;
  state_.columns[col].width = twips;
  Notify(ControlChange::kFormat, -1, col);
}

int Grid::ColAlignment(int col) const {
  if (col < 0 || col >= Cols()) internal::ThrowBadIndex();
  return state_.columns[col].alignment;
}

void Grid::SetColAlignment(int col, int alignment) {
  if (col < 0 || col >= Cols()) internal::ThrowBadIndex();
  if (alignment < kLeftTop || alignment > kGeneral) internal::ThrowBadValue();
  if (state_.columns[col].alignment == alignment) return;
  state_.columns[col].alignment = alignment;
  Notify(ControlChange::kFormat, -1, col);
}

void Grid::SetRow(int row) {
  if (row < 0 || row >= Rows()) internal::ThrowGridError(kInvalidRow, "Invalid Row value");
  if (row == state_.row) return;
  state_.row = row;
  Notify(ControlChange::kSelection);
}

void Grid::SetCol(int col) {
  if (col < 0 || col >= Cols()) internal::ThrowGridError(kInvalidCol, "Invalid Col value");
  if (col == state_.col) return;
  state_.col = col;
  Notify(ControlChange::kSelection);
}

void Grid::AddItem(std::string_view item, int index) {
  if (index == -1) index = Rows();
  if (index < 0 || index > Rows()) internal::ThrowGridError(kInvalidRow, "Invalid Row value");
  std::vector<std::string> row(Cols());
  size_t start = 0;
  for (int col = 0; col < Cols() && start <= item.size(); ++col) {
    const size_t tab = item.find('\t', start);
    row[col] = std::string(item.substr(start, tab == std::string_view::npos ? item.npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  state_.cells.insert(state_.cells.begin() + index, std::move(row));
  Notify(ControlChange::kItems);
}

void Grid::RemoveItem(int index) {
  if (index < 0 || index >= Rows()) internal::ThrowGridError(kInvalidRow, "Invalid Row value");
  if (index >= state_.fixed_rows && Rows() - state_.fixed_rows == 1) {
    internal::ThrowGridError(kLastNonFixedRow, "Cannot remove last non-fixed row");
  }
  state_.cells.erase(state_.cells.begin() + index);
  state_.row = std::clamp(state_.row, 0, std::max(0, Rows() - 1));
  Notify(ControlChange::kItems);
}

void Grid::Clear() {
  for (auto& row : state_.cells) std::fill(row.begin(), row.end(), std::string());
  Notify(ControlChange::kItems);
}

bool Grid::UserClick(int row, int col) {
  CheckCell(row, col);
  if (!Reachable()) return false;
  if (row != state_.row || col != state_.col) {
    state_.row = row;
    state_.col = col;
    Notify(ControlChange::kSelection);
  }
  Click();
  return true;
}

bool Grid::UserDblClick(int row, int col) {
  if (!UserClick(row, col)) return false;
  DblClick();
  return true;
}

void Grid::SaveDesign() { design_ = state_; }
void Grid::RestoreDesign() { state_ = design_; }

}  // namespace ui
