#pragma once

class RecordStore;

// What each schema version adds, run by StoreSchema inside its transaction.
namespace SchemaSteps {

// False with the store's fault when a statement of that version fails.
bool run(RecordStore& store, int version);

}
