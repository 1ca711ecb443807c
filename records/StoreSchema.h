#pragma once

class RecordStore;

// The store's tables and their versions. Each version's statements run once, in order, in one
// transaction with the version they reach, so a program started on an older store brings it up
// to date, and two programs starting on one server do not both do it.
namespace StoreSchema {

constexpr int Version = 2;

// False with the store's fault when a statement fails; the store is then left as it was.
bool migrate(RecordStore& store);
// The store's version; 0 for a new one.
int version(RecordStore& store);

}
