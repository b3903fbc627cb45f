#pragma once
// Reconciling a fund archive store: two archived funds with the same WKN are
// one fund under two names (a provider renamed it, or it was archived once
// under the name the user gave it and once under the name of the price
// file).  Only one of them stays: the one with the newer newest price, and
// of two with the same newest date the one listed first.  Its price rows
// become one series: the other fund's rows dated before its own first row,
// followed by all of its own rows, so every date occurs once and the series
// stays ordered.
//
// Funds without a WKN are never taken for one another.  A store holding a
// key twice is left as it is: its records cannot be told apart by key.

#include "storage/RecordStore.h"

namespace tellurio {

struct ReconcileOutcome {
  int removed = 0;       // funds deleted from the store
  bool skipped = false;  // the store holds duplicate keys and was not touched
};

// Reconciles the store in memory; the caller saves it when removed > 0.
// All removals happen in one step, so the store is written once however
// many funds go.
ReconcileOutcome ReconcileArchive(RecordStore& archive);

}  // namespace tellurio
