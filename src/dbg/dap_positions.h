#pragma once
// Lines and columns at the Debug Adapter Protocol's edge: inside they are
// 1-based; the client says at initialize whether its own start at 1 (the
// default) or at 0. Every line and column that crosses the edge goes through
// here.

namespace zorm::dbg {

class DapPositions {
 public:
  void set_bases(bool lines_start_at_1, bool columns_start_at_1) {
    line_base_ = lines_start_at_1 ? 1 : 0;
    column_base_ = columns_start_at_1 ? 1 : 0;
  }
  int line_to_client(int line) const { return line - 1 + line_base_; }
  int line_from_client(int line) const { return line - line_base_ + 1; }
  int column_to_client(int column) const { return column - 1 + column_base_; }

 private:
  int line_base_ = 1;
  int column_base_ = 1;
};

}  // namespace zorm::dbg
