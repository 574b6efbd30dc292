// The headless host: an in-memory implementation of every host interface, exact and
// deterministic (no threads, no sleeps, no clock of its own), for tests, benchmarks, fuzzers
// and the command-line tool.
//
// This header only gathers the headless host's headers, one per class; each says what its
// class is for. The text metrics rule is in metrics.h and failure injection in
// failure_points.h. Events are synchronous (text_box.h, surface.h, form.h); a runaway chain of
// events fails with error 28 once events nest 100 deep (event_depth.h).
#pragma once

#include "host/headless/check_box.h"
#include "host/headless/combo_box.h"
#include "host/headless/control_site.h"
#include "host/headless/failure_points.h"
#include "host/headless/form.h"
#include "host/headless/form_document.h"
#include "host/headless/frame.h"
#include "host/headless/keys.h"
#include "host/headless/label.h"
#include "host/headless/metrics.h"
#include "host/headless/page_site.h"
#include "host/headless/property_bag.h"
#include "host/headless/property_page_site.h"
#include "host/headless/services.h"
#include "host/headless/surface.h"
#include "host/headless/tab_control.h"
#include "host/headless/text_box.h"
#include "host/headless/widget.h"
#include "values/functions.h"  // the value functions, which users of the headless host have always had with it
