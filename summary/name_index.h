// The names in the entry list, kept in step with it, so asking whether a name is listed
// costs one lookup instead of reading every item's text.
#ifndef VELMORA_SUMMARY_NAME_INDEX_H
#define VELMORA_SUMMARY_NAME_INDEX_H

#include <cstddef>
#include <string>
#include <unordered_map>

class NameIndex {
 public:
  void Add(const char* name);
  void Remove(const char* name);
  void Clear();
  // Exact, case-sensitive, like comparing the texts byte for byte.
  bool Contains(const char* name) const;
  // Entries counted, a name listed twice counting twice.
  size_t Count() const { return count_; }

 private:
  std::unordered_map<std::string, int> names_;
  size_t count_ = 0;
};

#endif
