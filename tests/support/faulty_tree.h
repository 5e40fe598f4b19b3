// A file tree that passes every primitive on to another one and injects faults on the way: the
// Nth write fails, the volume fills up after so many bytes, the free room cannot be told, the
// Nth change fails, or the process "dies" once one file holds so many bytes, once so many links
// are made or at the Nth change (from then on nothing it asks for happens, so its temporary files
// and renamed folders stay as a crash would leave them). Safe on the writer threads.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/file_tree.h"

namespace tess::test {

class FaultyTree : public FileTree {
 public:
  explicit FaultyTree(FileTree& inner) : inner_(inner) {}

  // 0: never. Counting starts at 1 with the first write of the copy.
  std::uint64_t fail_write_number = 0;
  FileError write_failure{FileErrorKind::kOther, "The request could not be performed."};
  // The volume is full once this many bytes have been written through the tree; 0: never.
  std::uint64_t fill_after_bytes = 0;
  // FreeSpace cannot tell, so a full volume shows only in the writes.
  bool hide_free_space = false;
  // The process dies once one file has been given this many bytes; 0: never.
  std::uint64_t interrupt_after_bytes = 0;
  // Runs before every write with what the file was given so far, on the writer's thread; a
  // test can hold a writer there.
  std::function<void(std::uint64_t written)> before_write;
  // Runs before every listing with the folder listed, on whichever thread lists it.
  std::function<void(const std::string& folder)> before_list;
  // The process dies right after making this many links; 0: never.
  std::uint64_t die_after_links = 0;

  // Changes count from 1: a delete, a rename, a folder made or removed, attributes set on a
  // path or through an open file. The change with this number fails; 0: none.
  std::uint64_t fail_change_number = 0;
  FileError change_failure{FileErrorKind::kAccessDenied, "Access is denied."};
  // The process dies instead of making the change with this number; 0: never.
  std::uint64_t die_at_change_number = 0;
  // The primitive whose change failed ("Delete", "SetTimes", ...); empty before.
  std::string failed_change;

  bool Died() const { return dead_.load(); }
  std::uint64_t Writes() const { return writes_.load(); }
  std::uint64_t Changes() const { return changes_.load(); }

  FileError FullPath(const std::string& path, std::string* full) override {
    return inner_.FullPath(path, full);
  }
  std::string Shown(const std::string& full) override { return inner_.Shown(full); }
  bool SamePath(const std::string& a, const std::string& b) override {
    return inner_.SamePath(a, b);
  }
  FileError Refusal(CopyRefusal refusal) override { return inner_.Refusal(refusal); }
  FileError List(const std::string& folder, std::vector<TreeEntry>* entries) override {
    if (before_list) before_list(folder);
    return Dead() ? Gone() : inner_.List(folder, entries);
  }
  FileError Describe(const std::string& path, TreeEntry* entry) override {
    return Dead() ? Gone() : inner_.Describe(path, entry);
  }
  FileError OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) override {
    if (Dead()) return Gone();
    return Wrapped(inner_.OpenForReading(path, file), file);
  }
  FileError OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) override {
    if (Dead()) return Gone();
    return Wrapped(inner_.OpenPastCache(path, file), file);
  }
  FileError OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) override {
    if (Dead()) return Gone();
    return Wrapped(inner_.OpenInPlace(path, file), file);
  }
  FileError CreateExclusive(const std::string& path, std::uint32_t attributes,
                            std::unique_ptr<OpenFile>* file) override {
    if (Dead()) return Gone();
    return Wrapped(inner_.CreateExclusive(path, attributes, file), file);
  }
  FileError SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return Change("SetAttributes", [&] { return inner_.SetAttributes(path, attributes); });
  }
  FileError Delete(const std::string& path) override {
    return Change("Delete", [&] { return inner_.Delete(path); });
  }
  FileError Rename(const std::string& from, const std::string& to) override {
    return Change("Rename", [&] { return inner_.Rename(from, to); });
  }
  FileError RemoveFolder(const std::string& path) override {
    return Change("RemoveFolder", [&] { return inner_.RemoveFolder(path); });
  }
  FileError OpenForAttributes(const std::string& path, std::unique_ptr<OpenFile>* file) override {
    if (Dead()) return Gone();
    return Wrapped(inner_.OpenForAttributes(path, file), file);
  }
  FileError HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) override {
    return Dead() ? Gone() : inner_.HoldLock(path, lock);
  }
  FileError MakeFolder(const std::string& path) override {
    return Change("MakeFolder", [&] { return inner_.MakeFolder(path); });
  }
  FileError FreeSpace(const std::string& folder, std::uint64_t* bytes) override {
    if (Dead()) return Gone();
    if (hide_free_space) return FileError{FileErrorKind::kOther, "cannot tell"};
    return inner_.FreeSpace(folder, bytes);
  }
  FileError MakeHardLink(const std::string& existing, const std::string& link) override {
    if (Dead()) return Gone();
    const FileError e = inner_.MakeHardLink(existing, link);
    if (!e.Failed() && die_after_links != 0 && links_.fetch_add(1) + 1 >= die_after_links) {
      dead_.store(true);
    }
    return e;
  }
  FileError KeepsFineWriteTimes(const std::string& folder, bool* fine) override {
    return inner_.KeepsFineWriteTimes(folder, fine);
  }
  // Its pools count their own running jobs, so a test that holds a job until the others have
  // ended knows the copy sees that too.
  std::unique_ptr<WorkPool> MakeWorkPool(int workers, std::function<void()> events) override {
    return std::make_unique<CountedPool>(inner_.MakeWorkPool(workers, std::move(events)),
                                         running_jobs_);
  }
  // Jobs running on the tree's pools at this moment.
  int RunningJobs() const { return running_jobs_.load(); }

 private:
  class File : public OpenFile {
   public:
    File(FaultyTree& tree, std::unique_ptr<OpenFile> inner)
        : tree_(tree), inner_(std::move(inner)) {}
    FileError Read(char* data, std::size_t size, std::size_t* got) override {
      return tree_.Dead() ? Gone() : inner_->Read(data, size, got);
    }
    FileError Write(const char* data, std::size_t size) override {
      if (tree_.before_write) tree_.before_write(written_);
      if (tree_.Dead()) return Gone();
      const std::uint64_t number = tree_.writes_.fetch_add(1) + 1;
      if (number == tree_.fail_write_number) return tree_.write_failure;
      std::size_t allowed = size;
      bool dies = false;
      if (tree_.interrupt_after_bytes != 0 && written_ + size >= tree_.interrupt_after_bytes) {
        allowed = static_cast<std::size_t>(tree_.interrupt_after_bytes - written_);
        dies = true;
      }
      bool fills = false;
      if (tree_.fill_after_bytes != 0) {
        const std::uint64_t before = tree_.bytes_.fetch_add(allowed);
        if (before + allowed > tree_.fill_after_bytes) {
          allowed = before >= tree_.fill_after_bytes
                        ? 0
                        : static_cast<std::size_t>(tree_.fill_after_bytes - before);
          fills = true;
        }
      }
      if (allowed > 0) {
        if (FileError e = inner_->Write(data, allowed); e.Failed()) return e;
        written_ += allowed;
      }
      if (dies) {
        tree_.dead_.store(true);
        return Gone();
      }
      if (fills) return tree_.Refusal(CopyRefusal::kDiskFull);
      return {};
    }
    FileError SetTimes(const FileTimes& times, std::uint32_t attributes) override {
      return tree_.Change("SetTimes", [&] { return inner_->SetTimes(times, attributes); });
    }
    FileError Flush() override { return tree_.Dead() ? Gone() : inner_->Flush(); }
    FileError Identity(std::string* id) override { return inner_->Identity(id); }
    FileError Describe(TreeEntry* entry) override {
      return tree_.Dead() ? Gone() : inner_->Describe(entry);
    }
    FileError RenameOver(const std::string& target, bool replace) override {
      return tree_.Dead() ? Gone() : inner_->RenameOver(target, replace);
    }

   private:
    FaultyTree& tree_;
    std::unique_ptr<OpenFile> inner_;
    std::uint64_t written_ = 0;
  };

  class CountedPool : public WorkPool {
   public:
    CountedPool(std::unique_ptr<WorkPool> inner, std::atomic<int>& all)
        : inner_(std::move(inner)), all_(all) {}
    void Submit(Job job) override {
      inner_->Submit([this, job = std::move(job)] {
        ++running_;
        ++all_;
        job();
        --all_;
        --running_;
      });
    }
    void Drain() override { inner_->Drain(); }
    void NoteProgress() override { inner_->NoteProgress(); }
    int Running() override { return running_.load(); }

   private:
    std::unique_ptr<WorkPool> inner_;
    std::atomic<int>& all_;
    std::atomic<int> running_{0};
  };

  static FileError Gone() { return FileError{FileErrorKind::kOther, "The process has died."}; }
  bool Dead() const { return dead_.load(); }
  template <typename Call>
  FileError Change(const char* primitive, Call call) {
    if (Dead()) return Gone();
    const std::uint64_t number = changes_.fetch_add(1) + 1;
    if (number == die_at_change_number) {
      dead_.store(true);
      return Gone();
    }
    if (number == fail_change_number) {
      failed_change = primitive;
      return change_failure;
    }
    return call();
  }
  FileError Wrapped(FileError e, std::unique_ptr<OpenFile>* file) {
    if (!e.Failed()) *file = std::make_unique<File>(*this, std::move(*file));
    return e;
  }

  FileTree& inner_;
  std::atomic<bool> dead_{false};
  std::atomic<std::uint64_t> writes_{0};
  std::atomic<std::uint64_t> bytes_{0};
  std::atomic<std::uint64_t> links_{0};
  std::atomic<std::uint64_t> changes_{0};
  std::atomic<int> running_jobs_{0};
};

}  // namespace tess::test
