// Firmware models of the simulated keyboards: what each keyboard does with
// the reports it receives, and the memory it keeps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

struct InterfaceDesc {
  int number = 0;
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  // Report lengths with the report id byte, as the host sees them.
  std::uint16_t inputLength = 0;
  std::uint16_t outputLength = 0;
  std::uint16_t featureLength = 0;
};

// An input report the keyboard sends on one of its interfaces.
struct InputReport {
  int interfaceNumber = 0;
  Bytes bytes;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;

  virtual std::string model() const = 0;
  virtual const std::vector<InterfaceDesc>& interfaces() const = 0;

  std::uint16_t vendorId() const { return vendorId_; }
  std::uint16_t productId() const { return productId_; }
  std::uint16_t version() const { return version_; }
  const std::string& product() const { return product_; }  // UTF-8
  void setVersion(std::uint16_t v) { version_ = v; }
  // Another product id, to stand in for keyboards of the family the programs
  // do not serve; best set while unplugged, since names carry the id.
  void setProductId(std::uint16_t pid) { productId_ = pid; }
  void setProduct(std::string p) { product_ = std::move(p); }

  // Host to keyboard. An output report may make the keyboard answer with
  // input reports. A false answer is a stalled transfer (the host's call fails).
  virtual bool output(int interfaceNumber, const Bytes& report, std::vector<InputReport>& answers) = 0;
  virtual bool setFeature(int interfaceNumber, const Bytes& report) = 0;
  // Fills `report` (length bytes, report id first) for a get-feature request.
  virtual bool getFeature(int interfaceNumber, std::uint8_t reportId, std::size_t length, Bytes& report) = 0;

  // The keyboard's memory as the firmware keeps it (for dumps).
  virtual Bytes memory() const = 0;
  // Writes a PNG picture of the colours the keyboard holds.
  virtual bool render(const std::string& pngPath) const = 0;
  // Frames the firmware threw away (bad checksum, bad address, unknown command).
  unsigned rejectedFrames() const { return rejected_; }

  // Model-specific settings ("firmware" on the Q350, "password" on the
  // Q350RGB); false when the model has no such setting or the value is bad.
  virtual bool setOption(const std::string& name, const std::string& value) = 0;

 protected:
  Keyboard(std::uint16_t vid, std::uint16_t pid, std::uint16_t version, std::string product)
      : vendorId_(vid), productId_(pid), version_(version), product_(std::move(product)) {}
  void reject() { ++rejected_; }

 private:
  std::uint16_t vendorId_;
  std::uint16_t productId_;
  std::uint16_t version_;
  std::string product_;
  unsigned rejected_ = 0;
};

// "q350" or "q350rgb" (any case); null for anything else.
std::unique_ptr<Keyboard> makeKeyboard(const std::string& model);

}  // namespace sim
