#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

namespace pod {

// A queue of particles in storage taken once, at construction: new ones at
// the back, the oldest at the front. When full, appending drops the oldest,
// so the buffer keeps the newest; a system sized from its emission limits
// never gets there in a race. Nothing is allocated after construction.
template <class T>
class RingBuffer {
  template <bool Const>
  class Iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<Const, const T*, T*>;
    using reference = std::conditional_t<Const, const T&, T&>;
    using Owner = std::conditional_t<Const, const RingBuffer, RingBuffer>;

    Iterator() = default;
    Iterator(Owner* owner, std::size_t index) : owner_(owner), index_(index) {}
    reference operator*() const { return (*owner_)[index_]; }
    pointer operator->() const { return &(*owner_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }
    bool operator!=(const Iterator& other) const { return index_ != other.index_; }

  private:
    Owner* owner_ = nullptr;
    std::size_t index_ = 0; // from the oldest
  };

public:
  using value_type = T;
  using iterator = Iterator<false>;
  using const_iterator = Iterator<true>;

  // A capacity of 0 is taken as 1.
  explicit RingBuffer(std::size_t capacity) : items_(std::max<std::size_t>(capacity, 1)) {}

  std::size_t capacity() const { return items_.size(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  bool full() const { return size_ == items_.size(); }

  void push_back(const T& item) {
    if (full())
      pop_front();
    items_[slot(size_)] = item;
    ++size_;
  }
  // Precondition: not empty.
  void pop_front() {
    head_ = slot(1);
    --size_;
  }
  void clear() {
    head_ = 0;
    size_ = 0;
  }

  // i counts from the oldest; precondition: i < size().
  T& operator[](std::size_t i) { return items_[slot(i)]; }
  const T& operator[](std::size_t i) const { return items_[slot(i)]; }
  T& front() { return items_[head_]; }
  const T& front() const { return items_[head_]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  // Visits the items oldest first, as at most two contiguous runs: cheaper
  // than the iterators where every item is touched.
  template <class F>
  void forEach(F&& f) {
    const std::size_t first = std::min(size_, items_.size() - head_);
    for (std::size_t i = 0; i < first; ++i)
      f(items_[head_ + i]);
    for (std::size_t i = 0; i < size_ - first; ++i)
      f(items_[i]);
  }

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

private:
  // One wrap at most: i < capacity and head_ < capacity.
  std::size_t slot(std::size_t i) const {
    const std::size_t s = head_ + i;
    return s < items_.size() ? s : s - items_.size();
  }

  std::vector<T> items_;
  std::size_t head_ = 0;
  std::size_t size_ = 0;
};

} // namespace pod
