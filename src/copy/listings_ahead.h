// The listings a walk needs of the folders it is about to enter (the copies a destination
// folder already holds, what the earlier backup's folder holds), read ahead on a thread of
// their own while the walk lists each source folder and decides its files. Under Wine a listing
// costs system calls per name in the program itself, not in Wine's server, so two listings run
// side by side on two cores; a repeat run over an unchanged tree is mostly listings.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ports/file_tree.h"
#include "ports/work_pool.h"

namespace tess {

class ListingsAhead {
 public:
  // The folders of one folder to list; an empty path is not listed.
  struct Folder {
    std::string copies;
    std::string earlier;
    bool operator==(const Folder&) const = default;
  };
  // Each listing sorted by key; an earlier folder that cannot be listed lists as empty.
  struct Listings {
    std::vector<TreeEntry> copies;
    FileError copies_error;
    std::vector<TreeEntry> earlier;
  };

  // events: the walk's, run while it waits for a listing.
  ListingsAhead(FileTree& files, std::function<void()> events);
  ~ListingsAhead();
  ListingsAhead(const ListingsAhead&) = delete;
  ListingsAhead& operator=(const ListingsAhead&) = delete;

  // The walk's thread. The folders just met, in the order the walk enters them, all before any
  // folder expected earlier (a walk enters a folder's subfolders before its next sibling).
  void Expect(const std::vector<Folder>& folders);
  // The walk's thread. The listings of folder, read ahead or now. Folders expected before it
  // and not taken are ones the walk passed by; they are dropped.
  Listings Take(const Folder& folder);

  static Listings ListNow(FileTree& files, const Folder& folder);

 private:
  enum class State { kWaiting, kListing, kReady };
  struct Item {
    Folder folder;
    State state = State::kWaiting;
    Listings listings;
  };

  void TopUp();
  void ListNext();  // on the pool

  FileTree& files_;
  const std::function<void()> events_;
  std::mutex lock_;        // guards what follows
  std::list<Item> items_;  // in walk order
  std::size_t waiting_ = 0;
  std::size_t ready_ = 0;
  std::size_t queued_ = 0;  // jobs handed to the pool that have not yet taken a folder
  std::size_t listing_ = 0;
  // Last, so that it goes first: its thread uses the above.
  std::unique_ptr<WorkPool> pool_;
};

}  // namespace tess
