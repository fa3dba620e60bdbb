#pragma once

// Host objects whose operations are settled where the records that use them are built: the
// interfaces name them now so that every slot has its final type.
namespace orvex {

class LoadLog;        // the log of a sequence file's load: sections, coded entries
class ReportContext;  // the report under construction
class PrintJob;       // the host's print object
class Standard;       // one named set of limits
class StandardList;   // the standards of a test, or of a run
class LimitEntry;     // one limit of a standard
class ServiceRecord;  // a result's entry for the service history

}  // namespace orvex
