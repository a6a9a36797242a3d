#pragma once

#include "job_arguments.h"
#include "recipients.h"

namespace pelorin::cli {

// Sends the job to every number through the SMS centre at recipients.smsc,
// with the journal; prints one line a recipient and the totals. The exit
// status: 0 when every recipient was sent, 1 otherwise, 2 for bad arguments.
int sendThroughSmsc(const RecipientArguments& recipients, const JobArguments& job);

}  // namespace pelorin::cli
