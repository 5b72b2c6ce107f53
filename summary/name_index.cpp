#include "summary/name_index.h"

void NameIndex::Add(const char* name) {
  ++names_[name];
  ++count_;
}

void NameIndex::Remove(const char* name) {
  auto found = names_.find(name);
  if (found == names_.end()) return;
  if (--found->second == 0) names_.erase(found);
  --count_;
}

void NameIndex::Clear() {
  names_.clear();
  count_ = 0;
}

bool NameIndex::Contains(const char* name) const { return names_.find(name) != names_.end(); }
