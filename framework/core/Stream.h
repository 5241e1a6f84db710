#pragma once
// Byte streams with a position. Read/Write move as many bytes as they can and return the count;
// ReadBuffer/WriteBuffer demand the whole count and raise EReadError("Stream read error") /
// EWriteError("Stream write error") otherwise.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position; positions are clamped at 0 but may go past the end.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() const = 0;

  int64_t Position() const { return position_; }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  int64_t Remaining() const { return Size() > position_ ? Size() - position_ : 0; }

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source's position (count 0: the whole source from its start).
  int64_t CopyFrom(TStream& source, int64_t count);

protected:
  int64_t position_ = 0;
};

// Read-only view over bytes owned elsewhere (a module resource, a layout's binary property):
// nothing is copied. Writing raises EWriteError.
class TReadOnlyMemoryStream : public TStream {
public:
  TReadOnlyMemoryStream(const void* data, int64_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() const override { return size_; }
  const uint8_t* Memory() const { return data_; }

private:
  const uint8_t* data_;
  int64_t size_;
};

// Growable buffer; writing past the end extends it.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

  void SetSize(int64_t size);
  void Clear();
  uint8_t* Memory() { return bytes_.data(); }
  const uint8_t* Memory() const { return bytes_.data(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  // Paths in UTF-8. Raises EFOpenError / EFCreateError with the path and the cause.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  void LoadFromStream(TStream& source);

private:
  std::vector<uint8_t> bytes_;
};

// True when the path (UTF-8) names a file that exists, not a folder.
bool IsExistingFile(const std::string& path);
