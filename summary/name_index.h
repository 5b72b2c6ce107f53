// The names in the entry list, kept in step with it, so asking whether a name is listed
// costs one lookup instead of reading every item's text.
//
// A hash table that outgrows its buckets moves every name at once, one cache miss per name:
// some 20 ms at 85,000 names and twice that at each doubling, all inside one file's addition
// while the screen waits. So the names are spread by their hash over many small tables, each of
// which grows on its own, at its own moment, moving a small share of the names.
#ifndef VELMORA_SUMMARY_NAME_INDEX_H
#define VELMORA_SUMMARY_NAME_INDEX_H

#include <array>
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
  enum { kTables = 64 };
  using Table = std::unordered_map<std::string, int>;  // name -> entries with that name

  // The table where name belongs; leaves the name in probe_ for the lookup.
  size_t TableFor(const char* name) const;

  std::array<Table, kTables> tables_;
  size_t count_ = 0;
  mutable std::string probe_;  // the name looked up, kept to spare an allocation per lookup
};

#endif
