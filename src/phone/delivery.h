#pragma once

// What the phone files in its inbox when it sends a message to itself: the
// SMS-DELIVER that the network would hand back for an SMS-SUBMIT it accepted.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "phone/submit_pdu.h"

namespace pelorin::phone {

// The service centre the phone names (AT+CSCA?) and puts in front of every
// message it reports.
inline constexpr const char* kServiceCentre = "+491710760000";

// An address field of 03.40: digit count, type of address (145 with a
// leading "+", otherwise 129), the digits as swapped semi-octets.
std::vector<std::uint8_t> encodeAddressField(const std::string& number);

// The whole PDU as AT+CMGR reports it: the service-centre field, then an
// SMS-DELIVER from sender carrying the part's protocol identifier, coding and
// user data unchanged, time-stamped with time (UTC).
std::vector<std::uint8_t> deliverFromSubmit(const SubmitMessage& part, const std::string& sender, std::time_t time);

}  // namespace pelorin::phone
