// Everything the exporter calls in the host's libraries.
#pragma once

#include "host/host_books.h"
#include "host/host_data.h"
#include "host/host_paths.h"
#include "host/host_records.h"
#include "host/host_session.h"
#include "host/host_types.h"
