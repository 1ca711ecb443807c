#pragma once

#include <QString>

class RecordStore;

// A lab's PostgreSQL store as its owner sets it up: the tables made and migrated by the owner,
// and the program's own login role given only what the program does. The role may read, append
// entries and signatures, void a signature and keep users and the index of experiments; it may
// not change or remove entries or signatures, empty a table, change a table or its triggers, or
// make anything new. The program then never issues DDL.
namespace StoreSetup {

// As the owner's open store; the role is made or given password anew. Empty on success,
// otherwise why not.
QString grantProgramRole(RecordStore& owner, const QString& role, const QString& password);

}
