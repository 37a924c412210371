// A growable run of bytes on the program's allocation seam: file contents
// read whole, and texts built before they are written. Nothing is ever cut:
// when memory runs out the buffer says so and keeps what it had.
#pragma once

#include <cstddef>

class ByteBuffer {
 public:
  constexpr ByteBuffer() {}
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Adds `size` bytes; false (the buffer unchanged, failed() true) when
  // memory runs out.
  bool Append(const char* bytes, size_t size);
  bool AppendText(const char* text);
  // Room for `size` more bytes at the end, to be filled and then counted
  // with Grow; null when memory runs out.
  char* Reserve(size_t size);
  void Grow(size_t size) { size_ += size; }
  void Clear() { size_ = 0; }
  // Keeps the first `size` bytes (all of them when there are fewer).
  void KeepFirst(size_t size) {
    if (size < size_) size_ = size;
  }

  const char* data() const { return data_ ? data_ : ""; }
  size_t size() const { return size_; }
  bool failed() const { return failed_; }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool failed_ = false;
};
