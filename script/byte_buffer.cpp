// The growable byte buffer.
#include "script/byte_buffer.h"

#include <cstring>

#include "script/memory.h"

ByteBuffer::~ByteBuffer() { MemFree(data_); }

char* ByteBuffer::Reserve(size_t size) {
  if (size > capacity_ - size_) {
    size_t wanted = capacity_ ? capacity_ : 256;
    while (wanted - size_ < size) {
      if (wanted > static_cast<size_t>(-1) / 2) {
        failed_ = true;
        return nullptr;
      }
      wanted *= 2;
    }
    char* grown = static_cast<char*>(MemRealloc(data_, wanted));
    if (!grown) {
      failed_ = true;
      return nullptr;
    }
    data_ = grown;
    capacity_ = wanted;
  }
  return data_ + size_;
}

bool ByteBuffer::Append(const char* bytes, size_t size) {
  if (size == 0) return !failed_;
  char* room = Reserve(size);
  if (!room) return false;
  memcpy(room, bytes, size);
  size_ += size;
  return true;
}

bool ByteBuffer::AppendText(const char* text) {
  return Append(text, strlen(text));
}
