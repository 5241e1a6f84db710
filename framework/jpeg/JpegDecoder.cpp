#include "framework/jpeg/JpegDecoder.h"

// libjpeg reports fatal errors through error_exit, which must not return. It is C code, so a C++
// exception must not travel through its frames: error_exit longjmps back to RunDecoder, whose own
// frame holds nothing that needs destroying, and the message is turned into an exception there.
// Truncated data is only a warning to libjpeg (it pads the scan with gray); a picture with a
// missing part is refused here instead of being shown half gray.
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <new>
#include <string>

#include "framework/core/Exception.h"

namespace {
// A progressive file can carry any number of scans, each a full pass over the coefficients;
// a few hundred is already far more than any encoder writes.
constexpr int kMaxScans = 1000;

struct ErrorManager {
  jpeg_error_mgr pub;
  jpeg_progress_mgr progress;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

ErrorManager& ErrorsOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorManager*>(cinfo->err); }

[[noreturn]] void Fail(j_common_ptr cinfo) {
  ErrorManager& errors = ErrorsOf(cinfo);
  (*cinfo->err->format_message)(cinfo, errors.message);
  std::longjmp(errors.jump, 1);
}

void ErrorExit(j_common_ptr cinfo) { Fail(cinfo); }

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) Fail(cinfo);
  // Other warnings (extraneous bytes, odd markers) leave a usable picture; trace messages are noise.
}

void ProgressMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    ErrorManager& errors = ErrorsOf(cinfo);
    std::snprintf(errors.message, sizeof errors.message, "Too many scans");
    std::longjmp(errors.jump, 1);
  }
}

enum class Outcome { Ok, LibraryError, Unsupported, TooLarge, OutOfMemory };

struct DecodeJob {
  const uint8_t* data;
  size_t size;
  JpegPixels* out;
  std::vector<uint8_t>* row;  // one decoded scanline in libjpeg's output colour space
  ErrorManager errors;
  jpeg_decompress_struct cinfo;
  bool adobeInverted;
};

uint8_t Scale(unsigned a, unsigned b) { return static_cast<uint8_t>((a * b + 127) / 255); }

void ConvertRow(const DecodeJob& job, const uint8_t* in, uint8_t* out) {
  const int width = job.out->Width;
  switch (job.cinfo.out_color_space) {
    case JCS_GRAYSCALE:
      for (int x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
      break;
    case JCS_CMYK:
      // Adobe writes CMYK inverted (0 = full ink), which makes the ink product the channel value.
      for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned flip = job.adobeInverted ? 0 : 255;
        const unsigned k = in[3] ^ flip;
        out[0] = Scale(in[2] ^ flip, k);
        out[1] = Scale(in[1] ^ flip, k);
        out[2] = Scale(in[0] ^ flip, k);
      }
      break;
    default:  // JCS_RGB
      for (int x = 0; x < width; ++x, in += 3, out += 3) out[0] = in[2], out[1] = in[1], out[2] = in[0];
      break;
  }
}

// Everything between setjmp and the possible longjmp lives in *job or in the caller's frame.
Outcome RunDecoder(DecodeJob* job) {
  jpeg_decompress_struct* cinfo = &job->cinfo;
  cinfo->err = jpeg_std_error(&job->errors.pub);
  job->errors.pub.error_exit = ErrorExit;
  job->errors.pub.emit_message = EmitMessage;
  job->errors.progress.progress_monitor = ProgressMonitor;
  if (setjmp(job->errors.jump)) {
    jpeg_destroy_decompress(cinfo);
    return Outcome::LibraryError;
  }
  jpeg_create_decompress(cinfo);
  cinfo->progress = &job->errors.progress;
  jpeg_mem_src(cinfo, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(cinfo, TRUE);

  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE: cinfo->out_color_space = JCS_GRAYSCALE; break;
    case JCS_YCbCr:
    case JCS_RGB: cinfo->out_color_space = JCS_RGB; break;
    case JCS_CMYK:
    case JCS_YCCK: cinfo->out_color_space = JCS_CMYK; break;
    default:
      jpeg_destroy_decompress(cinfo);
      return Outcome::Unsupported;
  }
  job->adobeInverted = cinfo->saw_Adobe_marker;
  job->out->Width = static_cast<int>(cinfo->image_width);
  job->out->Height = static_cast<int>(cinfo->image_height);
  if (uint64_t{cinfo->image_width} * cinfo->image_height > kMaxJpegPixels) {
    jpeg_destroy_decompress(cinfo);
    return Outcome::TooLarge;
  }

  jpeg_start_decompress(cinfo);
  const size_t width = cinfo->output_width;
  job->out->RowStride = (width * 3 + 3) & ~size_t{3};
  try {
    job->out->Bgr.assign(job->out->RowStride * cinfo->output_height, 0);
    job->row->resize(width * static_cast<size_t>(cinfo->output_components));
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(cinfo);
    return Outcome::OutOfMemory;
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW rows[1] = {job->row->data()};
    const JDIMENSION y = cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) ERREXIT(cinfo, JERR_INPUT_EOF);
    ConvertRow(*job, job->row->data(), job->out->Bgr.data() + y * job->out->RowStride);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return Outcome::Ok;
}
}  // namespace

JpegPixels DecodeJpeg(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) throw EInvalidGraphicOperation("JPEG error: Empty input");
  if (size > 0xFFFFFFFFu) throw EInvalidGraphicOperation("JPEG error: Input too large");
  JpegPixels pixels;
  std::vector<uint8_t> row;
  DecodeJob job{};
  job.data = data;
  job.size = size;
  job.out = &pixels;
  job.row = &row;
  switch (RunDecoder(&job)) {
    case Outcome::Ok: return pixels;
    case Outcome::LibraryError: throw EInvalidGraphicOperation(std::string("JPEG error: ") + job.errors.message);
    case Outcome::Unsupported: throw EInvalidGraphicOperation("JPEG error: Unsupported colour space");
    case Outcome::TooLarge:
      throw EInvalidGraphicOperation(
          Format("JPEG error: Picture too large (%dx%d)", pixels.Width, pixels.Height));
    case Outcome::OutOfMemory: throw EOutOfResources("JPEG error: Out of memory");
  }
  throw EInvalidGraphicOperation("JPEG error: Decoding failed");
}
