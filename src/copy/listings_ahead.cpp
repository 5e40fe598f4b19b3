#include "copy/listings_ahead.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tess {
namespace {

// Listings read and not yet taken, or being read: enough that the next folder's are ready when
// the walk comes to it, few enough that a tree of large folders holds little more in memory.
constexpr std::size_t kAhead = 3;

void SortByKey(std::vector<TreeEntry>* entries) {
  std::sort(entries->begin(), entries->end(),
            [](const TreeEntry& a, const TreeEntry& b) { return a.key < b.key; });
}

}  // namespace

ListingsAhead::ListingsAhead(FileTree& files, std::function<void()> events)
    : files_(files), events_(std::move(events)) {}

// The pool goes first: no listing may still run when the items go.
ListingsAhead::~ListingsAhead() { pool_.reset(); }

ListingsAhead::Listings ListingsAhead::ListNow(FileTree& files, const Folder& folder) {
  Listings listings;
  try {
    if (!folder.copies.empty()) {
      listings.copies_error = files.List(folder.copies, &listings.copies);
      SortByKey(&listings.copies);
    }
    if (!folder.earlier.empty()) {
      if (files.List(folder.earlier, &listings.earlier).Failed()) listings.earlier.clear();
      SortByKey(&listings.earlier);
    }
  } catch (const std::exception& e) {
    listings = {};
    listings.copies_error = {FileErrorKind::kOther, e.what()};
  }
  return listings;
}

void ListingsAhead::Expect(const std::vector<Folder>& folders) {
  {
    std::lock_guard guard(lock_);
    auto at = items_.begin();
    for (const Folder& folder : folders) {
      if (folder.copies.empty() && folder.earlier.empty()) continue;
      items_.insert(at, Item{folder, State::kWaiting, {}});
      ++waiting_;
    }
  }
  TopUp();
}

ListingsAhead::Listings ListingsAhead::Take(const Folder& folder) {
  for (;;) {
    std::unique_lock guard(lock_);
    const auto match = std::find_if(items_.begin(), items_.end(),
                                    [&](const Item& item) { return item.folder == folder; });
    if (match == items_.end()) {
      guard.unlock();
      return ListNow(files_, folder);
    }
    const auto end = std::next(match);
    if (std::any_of(items_.begin(), end,
                    [](const Item& item) { return item.state == State::kListing; })) {
      // Its listing, or one the walk passed by, is being read: the pool ends it soon.
      guard.unlock();
      pool_->Drain();
      continue;
    }
    Listings listings;
    const bool ready = match->state == State::kReady;
    if (ready) listings = std::move(match->listings);
    for (auto it = items_.begin(); it != end; ++it) {
      --(it->state == State::kReady ? ready_ : waiting_);
    }
    items_.erase(items_.begin(), end);
    guard.unlock();
    if (!ready) listings = ListNow(files_, folder);
    TopUp();
    return listings;
  }
}

// Hands the pool one listing for each folder waiting, up to kAhead in hand; each job lists the
// first folder still waiting when it runs, so a folder the walk has just met goes first.
void ListingsAhead::TopUp() {
  for (;;) {
    {
      std::lock_guard guard(lock_);
      if (queued_ >= waiting_ || queued_ + listing_ + ready_ >= kAhead) return;
      ++queued_;
    }
    if (!pool_) pool_ = files_.MakeWorkPool(1, events_);
    pool_->Submit([this] { ListNext(); });
  }
}

void ListingsAhead::ListNext() {
  std::unique_lock guard(lock_);
  const auto next = std::find_if(items_.begin(), items_.end(),
                                 [](const Item& item) { return item.state == State::kWaiting; });
  --queued_;
  if (next == items_.end()) return;
  next->state = State::kListing;
  --waiting_;
  ++listing_;
  guard.unlock();
  Listings listings = ListNow(files_, next->folder);
  guard.lock();
  next->listings = std::move(listings);
  next->state = State::kReady;
  --listing_;
  ++ready_;
}

}  // namespace tess
