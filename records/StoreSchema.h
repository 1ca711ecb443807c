#pragma once

class RecordStore;

// The store's tables and their versions. Each version's statements run once, in order, in one
// transaction with the version they reach, so a program started on an older store brings it up
// to date, and two programs starting on one server do not both do it. A store already at the
// current version is only read: a lab's server is set up by its owner (tamarin-cli db setup) and
// the program's own role may create nothing.
namespace StoreSchema {

constexpr int Version = 4;

// False with the store's fault when a statement fails; the store is then left as it was.
bool migrate(RecordStore& store);
// The store's version; 0 for a new one, -1 when it cannot be read.
int version(RecordStore& store);

}
