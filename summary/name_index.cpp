#include "summary/name_index.h"

#include <cstdint>
#include <functional>

size_t NameIndex::TableFor(const char* name) const {
  probe_.assign(name);
  // The hash's top bits choose the table; its other bits still spread the names over the
  // buckets within it.
  return std::hash<std::string>()(probe_) / (SIZE_MAX / kTables + 1);
}

void NameIndex::Add(const char* name) {
  ++tables_[TableFor(name)][probe_];
  ++count_;
}

void NameIndex::Remove(const char* name) {
  Table& table = tables_[TableFor(name)];
  auto found = table.find(probe_);
  if (found == table.end()) return;
  if (--found->second == 0) table.erase(found);
  --count_;
}

void NameIndex::Clear() {
  for (Table& table : tables_) table = Table();  // gives the buckets back, not just the names
  count_ = 0;
}

bool NameIndex::Contains(const char* name) const {
  const Table& table = tables_[TableFor(name)];
  return table.find(probe_) != table.end();
}
