#include <EventKit/ICalendarReader.h>

#include <libical/ical.h>
#include <unicode/ucal.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace eventkit {

namespace {

/// A file with more trouble than this is summed up in one more line.
constexpr size_t kMaxProblems = 12;

struct ComponentDeleter {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

class Problems {
 public:
  explicit Problems(std::vector<std::string>& out) : out_(out) {}
  ~Problems() {
    if (dropped_ > 0) out_.push_back("and " + std::to_string(dropped_) + " more problems");
  }
  Problems(const Problems&) = delete;
  Problems& operator=(const Problems&) = delete;
  void add(std::string text) {
    if (out_.size() < kMaxProblems)
      out_.push_back(std::move(text));
    else
      ++dropped_;
  }

 private:
  std::vector<std::string>& out_;
  size_t dropped_ = 0;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

// Apple escapes ';', ',', '\' and line breaks inside parameter values the
// way RFC 5545 escapes them in text values.
std::string unescapeParameter(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char next = s[++i];
    out += (next == 'n' || next == 'N') ? '\n' : next;
  }
  return out;
}

int daysInMonth(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

/// VTIMEZONE TZID -> X-LIC-LOCATION, for zones named in a private way.
using ZoneLocations = std::map<std::string, std::string>;
/// VTIMEZONE TZID -> the component, for zones only the file defines.
using ZoneDefinitions = std::map<std::string, icalcomponent*>;

void reportErrors(icalcomponent* c, Problems& problems) {
  for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
       p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
    std::string what = text(icalproperty_get_xlicerror(p));
    makeUtf8(what);
    problems.add("ignored a damaged line (" + what + ")");
  }
}

void readZoneLocation(icalcomponent* zone, ZoneLocations& out) {
  std::string tzid, location;
  for (icalproperty* p = icalcomponent_get_first_property(zone, ICAL_ANY_PROPERTY); p;
       p = icalcomponent_get_next_property(zone, ICAL_ANY_PROPERTY)) {
    if (icalproperty_isa(p) == ICAL_TZID_PROPERTY)
      tzid = text(icalproperty_get_tzid(p));
    else if (icalproperty_isa(p) == ICAL_X_PROPERTY &&
             equalsIgnoringCase(text(icalproperty_get_x_name(p)), "X-LIC-LOCATION"))
      location = std::string(trimmed(text(icalproperty_get_x(p))));
  }
  if (!tzid.empty() && !location.empty()) out.emplace(tzid, location);
}

/// Calendars nested deeper than this are not looked into.
constexpr int kMaxDepth = 16;

/// What one walk over the file finds: the VTODOs in file order, and the
/// zone locations (a VTIMEZONE may stand after the reminders that use it).
struct Contents {
  std::vector<icalcomponent*> todos;
  ZoneLocations zones;
  ZoneDefinitions definitions;
  bool tooDeep = false;
};

void walk(icalcomponent* c, int depth, Contents& found, Problems& problems) {
  switch (icalcomponent_isa(c)) {
    case ICAL_VTODO_COMPONENT: found.todos.push_back(c); return;
    case ICAL_VTIMEZONE_COMPONENT: {
      readZoneLocation(c, found.zones);
      if (icalproperty* tzid = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY))
        found.definitions.emplace(std::string(trimmed(text(icalproperty_get_tzid(tzid)))), c);
      return;
    }
    case ICAL_VCALENDAR_COMPONENT:
    case ICAL_XROOT_COMPONENT: break;
    default: return;  // events, journals: nothing for a reminder list
  }
  reportErrors(c, problems);
  if (depth == kMaxDepth) {
    found.tooDeep = true;
    return;
  }
  for (icalcomponent* s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
       s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
    walk(s, depth + 1, found, problems);
}

std::vector<std::string> zoneNamesFor(const std::string& tzid, const ZoneLocations& locations) {
  std::vector<std::string> names;
  auto add = [&](std::string n) {
    if (!n.empty() && std::find(names.begin(), names.end(), n) == names.end()) names.push_back(std::move(n));
  };
  add(tzid);
  // Private prefixes: "/Europe/Berlin", "/mozilla.org/20050126_1/Europe/Berlin".
  if (tzid.front() == '/') add(tzid.substr(1));
  if (auto last = tzid.rfind('/'); last != std::string::npos && last > 0) {
    if (auto before = tzid.rfind('/', last - 1); before != std::string::npos) add(tzid.substr(before + 1));
  }
  if (auto it = locations.find(tzid); it != locations.end()) add(it->second);
  return names;
}

std::optional<DueDate> readDue(icalproperty* p, const ZoneLocations& locations, Problems& problems) {
  icaltimetype t = icalproperty_get_due(p);
  auto bad = [&](const char* why) {
    std::string raw = text(icalproperty_get_value_as_string(p));
    makeUtf8(raw);
    problems.add(std::string("ignored a DUE that is ") + why + ": " + raw);
    return std::nullopt;
  };
  if (icaltime_is_null_time(t)) return bad("empty");
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month))
    return bad("not a calendar date");
  DueDate due;
  due.year = t.year;
  due.month = t.month;
  due.day = t.day;
  if (t.is_date) return due;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60)
    return bad("not a time of day");
  due.hasTime = true;
  due.hour = t.hour;
  due.minute = t.minute;
  due.second = t.second == 60 ? 59 : t.second;  // a leap second reads as the second before it
  if (icaltime_is_utc(t)) {
    due.zone = DueDate::Zone::Utc;
  } else if (icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
    std::string tzid(trimmed(text(icalparameter_get_tzid(tz))));
    if (!tzid.empty()) {
      due.zone = DueDate::Zone::Named;
      due.zoneNames = zoneNamesFor(tzid, locations);
    }
  }
  return due;
}

int64_t proximityFrom(std::string_view value) {
  value = trimmed(value);
  if (equalsIgnoringCase(value, "ARRIVE")) return 1;
  if (equalsIgnoringCase(value, "DEPART")) return 2;
  return 0;
}

AlarmRecord readAlarm(icalcomponent* alarm, Problems& problems) {
  AlarmRecord a;
  reportErrors(alarm, problems);
  for (icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(alarm, ICAL_X_PROPERTY)) {
    std::string name = text(icalproperty_get_x_name(p));
    if (equalsIgnoringCase(name, "X-APPLE-PROXIMITY")) {
      a.proximity = proximityFrom(text(icalproperty_get_x(p)));
    } else if (equalsIgnoringCase(name, "X-APPLE-STRUCTURED-LOCATION") && !a.hasLocation) {
      a.hasLocation = true;
      for (icalparameter* q = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); q;
           q = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
        if (equalsIgnoringCase(text(icalparameter_get_xname(q)), "X-TITLE")) {
          a.locationTitle = unescapeParameter(text(icalparameter_get_xvalue(q)));
          if (makeUtf8(a.locationTitle)) problems.add("read a location title that is not UTF-8 as Latin-1");
          break;
        }
      }
    }
  }
  return a;
}

std::optional<ReminderRecord> readTodo(icalcomponent* todo, const ZoneLocations& locations, Problems& problems) {
  ReminderRecord r;
  bool hasTitle = false, hasDue = false;
  reportErrors(todo, problems);
  for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_ANY_PROPERTY); p;
       p = icalcomponent_get_next_property(todo, ICAL_ANY_PROPERTY)) {
    switch (icalproperty_isa(p)) {
      case ICAL_SUMMARY_PROPERTY:
        if (!hasTitle) r.title = text(icalproperty_get_summary(p)), hasTitle = true;
        break;
      case ICAL_DESCRIPTION_PROPERTY:
        if (r.notes.empty()) r.notes = text(icalproperty_get_description(p));
        break;
      case ICAL_UID_PROPERTY:
        if (r.uid.empty()) r.uid = text(icalproperty_get_uid(p));
        break;
      case ICAL_PRIORITY_PROPERTY: {
        int v = icalproperty_get_priority(p);
        if (v < 0 || v > 9) problems.add("read PRIORITY " + std::to_string(v) + " as none");
        r.priority = v < 0 || v > 9 ? 0 : static_cast<uint64_t>(v);
        break;
      }
      case ICAL_DUE_PROPERTY:
        if (!hasDue) r.due = readDue(p, locations, problems), hasDue = true;
        break;
      case ICAL_STATUS_PROPERTY:
        if (icalproperty_get_status(p) == ICAL_STATUS_COMPLETED) r.completed = true;
        if (icalproperty_get_status(p) == ICAL_STATUS_CANCELLED) r.cancelled = true;
        break;
      case ICAL_COMPLETED_PROPERTY:
        if (!icaltime_is_null_time(icalproperty_get_completed(p))) r.completed = true;
        break;
      default: break;
    }
  }
  if (!hasTitle) {
    problems.add("skipped a reminder without SUMMARY" + (r.uid.empty() ? std::string() : " (UID " + r.uid + ")"));
    return std::nullopt;
  }
  bool converted = makeUtf8(r.title);
  converted = makeUtf8(r.notes) || converted;
  converted = makeUtf8(r.uid) || converted;
  if (converted) problems.add("read text that is not UTF-8 as Latin-1 (reminder \"" + r.title + "\")");
  for (icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); a;
       a = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT))
    r.alarms.push_back(readAlarm(a, problems));
  return r;
}

// ---- Time zones the device does not know by name

bool isKnownZoneUncached(const std::string& name) {
  if (name.empty() || name.size() > 127) return false;
  UChar id[128], canonical[128];
  for (size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c <= ' ' || c >= 0x7F) return false;
    id[i] = c;
  }
  UBool isSystem = false;
  UErrorCode status = U_ZERO_ERROR;
  ucal_getCanonicalTimeZoneID(id, static_cast<int32_t>(name.size()), canonical, 128, &isSystem, &status);
  return U_SUCCESS(status);
}

/// Whether the device's zone database knows the name. The answers are
/// kept for the process (the database does not change under it): a list's
/// files name the same few zones over and over. Names past the first few
/// hundred are looked up each time, so odd files cannot grow the memory.
bool isKnownZone(const std::string& name) {
  constexpr size_t kMaxRemembered = 256;
  static std::mutex lock;
  static auto* answers = new std::unordered_map<std::string, bool>();  // outlives every worker thread
  {
    std::lock_guard guard(lock);
    if (auto it = answers->find(name); it != answers->end()) return it->second;
  }
  const bool known = isKnownZoneUncached(name);
  std::lock_guard guard(lock);
  if (answers->size() < kMaxRemembered) answers->emplace(name, known);
  return known;
}

/// The zone a Windows zone name ("W. Europe Standard Time") stands for in
/// its home region; empty when it is none.
std::string zoneForWindowsName(const std::string& name) {
  if (name.empty() || name.size() > 127) return {};
  UChar id[128], zone[128];
  for (size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c < ' ' || c >= 0x7F) return {};
    id[i] = c;
  }
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucal_getTimeZoneIDForWindowsID(id, static_cast<int32_t>(name.size()), nullptr, zone, 128, &status);
  if (U_FAILURE(status) || n <= 0 || n >= 128) return {};
  std::string out;
  for (int32_t i = 0; i < n; ++i) out += static_cast<char>(zone[i]);
  return out;
}

/// Zone definitions change their offsets once or twice a year; one that
/// repeats more often (or has hundreds of parts) would cost more to expand
/// than any zone is worth, so it is not used.
bool isPlausibleDefinition(icalcomponent* definition) {
  constexpr int kMaxObservances = 64, kMaxDates = 512;
  int observances = 0, dates = 0;
  for (icalcomponent* part = icalcomponent_get_first_component(definition, ICAL_ANY_COMPONENT); part;
       part = icalcomponent_get_next_component(definition, ICAL_ANY_COMPONENT)) {
    if (++observances > kMaxObservances) return false;
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY))
      if (icalproperty_get_rrule(p).freq != ICAL_YEARLY_RECURRENCE) return false;
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY))
      if (++dates > kMaxDates) return false;
  }
  return observances > 0;
}

/// The UTC offset of a local time in a zone the file defines itself.
std::optional<int32_t> offsetInFileZone(const DueDate& due, icalcomponent* definition) {
  if (!isPlausibleDefinition(definition)) return std::nullopt;
  icaltimezone* zone = icaltimezone_new();
  if (!zone) return std::nullopt;
  std::optional<int32_t> offset;
  if (icaltimezone_set_component(zone, icalcomponent_new_clone(definition))) {
    icaltimetype t = icaltime_null_time();
    t.year = due.year, t.month = due.month, t.day = due.day;
    t.hour = due.hour, t.minute = due.minute, t.second = due.second;
    int isDaylight = 0;
    int seconds = icaltimezone_get_utc_offset(zone, &t, &isDaylight);
    if (seconds >= -18 * 3600 && seconds <= 18 * 3600) offset = seconds;
  }
  icaltimezone_free(zone, 1);
  return offset;
}

/// A TZID the device cannot name: a Windows name maps through ICU; a name
/// only the file's own VTIMEZONE defines is read through that definition.
void resolveZone(DueDate& due, const ZoneDefinitions& definitions) {
  if (due.zone != DueDate::Zone::Named || due.zoneNames.empty()) return;
  if (std::any_of(due.zoneNames.begin(), due.zoneNames.end(), isKnownZone)) return;
  if (auto it = definitions.find(due.zoneNames.front()); it != definitions.end())
    if ((due.fileZoneOffset = offsetInFileZone(due, it->second))) return;
  if (std::string mapped = zoneForWindowsName(due.zoneNames.front()); !mapped.empty()) due.zoneNames.push_back(mapped);
}

// ---- Recurring reminders

/// A reminder and, for a recurring one, its occurrences written apart
/// (RECURRENCE-ID with the master's UID), as calendar clients write an
/// edited or completed occurrence.
struct Series {
  icalcomponent* master = nullptr;
  std::vector<icalcomponent*> overrides;
};

/// Occurrences looked at to find the first one still to do.
constexpr int kMaxOccurrences = 10000;

std::string uidOf(icalcomponent* todo) {
  icalproperty* p = icalcomponent_get_first_property(todo, ICAL_UID_PROPERTY);
  return p ? text(icalproperty_get_uid(p)) : std::string();
}

icaltimetype timeOf(icalcomponent* todo, icalproperty_kind kind) {
  icalproperty* p = icalcomponent_get_first_property(todo, kind);
  if (!p) return icaltime_null_time();
  switch (kind) {
    case ICAL_RECURRENCEID_PROPERTY: return icalproperty_get_recurrenceid(p);
    case ICAL_DTSTART_PROPERTY: return icalproperty_get_dtstart(p);
    case ICAL_DUE_PROPERTY: return icalproperty_get_due(p);
    default: return icaltime_null_time();
  }
}

/// Reminders in file order; an override joins the master of its UID (in
/// this file), and stands alone when there is none.
std::vector<Series> groupSeries(const std::vector<icalcomponent*>& todos) {
  std::vector<Series> out;
  out.reserve(todos.size());
  // Most files hold one reminder and no occurrence written apart.
  if (std::none_of(todos.begin(), todos.end(), [](icalcomponent* todo) {
        return icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY) != nullptr;
      })) {
    for (icalcomponent* todo : todos) out.push_back({todo, {}});
    return out;
  }
  std::map<std::string, size_t> masters;
  for (icalcomponent* todo : todos) {
    bool isOverride = icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    std::string uid = uidOf(todo);
    if (!isOverride && !uid.empty() && !masters.contains(uid)) masters.emplace(uid, out.size());
    out.push_back({todo, {}});
  }
  std::vector<Series> grouped;
  for (Series& s : out) {
    if (icalcomponent_get_first_property(s.master, ICAL_RECURRENCEID_PROPERTY)) {
      auto it = masters.find(uidOf(s.master));
      if (it != masters.end()) {
        out[it->second].overrides.push_back(s.master);
        s.master = nullptr;
      }
    }
  }
  for (Series& s : out)
    if (s.master) grouped.push_back(std::move(s));
  return grouped;
}

/// Whether an occurrence and a RECURRENCE-ID name the same moment as
/// written (a date matches any time of that day).
bool sameOccurrence(const icaltimetype& occurrence, const icaltimetype& id) {
  if (occurrence.year != id.year || occurrence.month != id.month || occurrence.day != id.day) return false;
  if (occurrence.is_date || id.is_date) return true;
  return occurrence.hour == id.hour && occurrence.minute == id.minute && occurrence.second == id.second;
}

bool isDone(const ReminderRecord& r) { return r.completed || r.cancelled; }

/// The series as one reminder: the master's, dated at the first occurrence
/// not completed, or that occurrence's own edited copy.
std::optional<ReminderRecord> readSeries(const Series& series, const Contents& found, Problems& problems) {
  std::optional<ReminderRecord> master = readTodo(series.master, found.zones, problems);
  if (!master) return master;
  icalproperty* rule = icalcomponent_get_first_property(series.master, ICAL_RRULE_PROPERTY);
  icaltimetype due = timeOf(series.master, ICAL_DUE_PROPERTY);
  icaltimetype start = timeOf(series.master, ICAL_DTSTART_PROPERTY);
  // Occurrences count from DTSTART; a reminder without one counts from DUE.
  icaltimetype anchor = icaltime_is_null_time(start) ? due : start;
  if (!rule || isDone(*master) || !master->due || icaltime_is_null_time(anchor)) return master;

  std::vector<std::pair<icaltimetype, std::optional<ReminderRecord>>> edits;
  for (icalcomponent* o : series.overrides)
    edits.emplace_back(timeOf(o, ICAL_RECURRENCEID_PROPERTY), readTodo(o, found.zones, problems));
  std::vector<icaltimetype> excluded;
  for (icalproperty* p = icalcomponent_get_first_property(series.master, ICAL_EXDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(series.master, ICAL_EXDATE_PROPERTY))
    excluded.push_back(icalproperty_get_exdate(p));

  icaldurationtype dueAfterStart = icaltime_subtract(due, anchor);
  icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rule), anchor);
  if (!it) {
    problems.add("read a repeat rule that cannot be followed as a single reminder (\"" + master->title + "\")");
    return master;
  }
  std::optional<ReminderRecord> result;
  bool ended = false;
  for (int n = 0; n < kMaxOccurrences && !result; ++n) {
    icaltimetype occurrence = icalrecur_iterator_next(it);
    if (icaltime_is_null_time(occurrence)) {
      ended = true;
      break;
    }
    if (std::any_of(excluded.begin(), excluded.end(),
                    [&](const icaltimetype& x) { return sameOccurrence(occurrence, x); }))
      continue;
    auto edit =
        std::find_if(edits.begin(), edits.end(), [&](const auto& e) { return sameOccurrence(occurrence, e.first); });
    if (edit != edits.end() && edit->second) {
      if (isDone(*edit->second)) continue;
      result = std::move(edit->second);
      if (result->uid.empty()) result->uid = master->uid;
      if (!result->due) result->due = master->due;
    } else {
      result = std::move(master);
      icaltimetype when = icaltime_add(occurrence, dueAfterStart);
      DueDate& d = *result->due;
      d.year = when.year, d.month = when.month, d.day = when.day;
      if (d.hasTime) d.hour = when.hour, d.minute = when.minute, d.second = when.second;
    }
  }
  icalrecur_iterator_free(it);
  if (result) return result;
  // Every occurrence is done: so is the series. Out of reach: as written.
  // master is moved from only into a result, which returned above.
  if (ended) master->completed = true;  // NOLINT(bugprone-use-after-move)
  return master;
}

}  // namespace

bool makeUtf8(std::string& s) {
  auto valid = [&] {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size(), i = 0;
    while (i < n) {
      unsigned char c = p[i];
      if (c < 0x80) {
        ++i;
        continue;
      }
      size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
      if (len == 0 || c > 0xF4 || i + len > n) return false;
      uint32_t cp = c & (0x7F >> len);
      for (size_t k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (p[i + k] & 0x3F);
      }
      if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
      i += len;
    }
    return true;
  };
  if (valid()) return false;
  std::string out;
  out.reserve(s.size() * 2);
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  s = std::move(out);
  return true;
}

namespace {

/// Hands libical the text a piece at a time, as its own string reader does,
/// but looks for the line's end only within the piece it hands out: its
/// reader searches the whole rest of the text for every 80-byte piece, so a
/// 1 MB line took a second of the fetch's bound.
struct LineSource {
  std::string_view text;
  size_t at = 0;
  /// Past this offset no '\n' follows, and a lone '\r' ends a line (files
  /// written with CR line ends).
  size_t lastLF = std::string_view::npos;

  static char* next(char* out, size_t size, void* data) {
    auto& src = *static_cast<LineSource*>(data);
    if (src.at >= src.text.size() || size < 2) return nullptr;
    std::string_view piece = src.text.substr(src.at, size - 1);
    const bool crEnds = src.lastLF == std::string_view::npos || src.at > src.lastLF;
    const size_t end = piece.find(crEnds ? '\r' : '\n');
    if (end != std::string_view::npos) piece = piece.substr(0, end + 1);
    std::memcpy(out, piece.data(), piece.size());
    if (crEnds && end != std::string_view::npos) out[piece.size() - 1] = '\n';
    out[piece.size()] = '\0';
    src.at += piece.size();
    return out;
  }
};

icalcomponent* parseText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // the UTF-8 mark
  LineSource source{text, 0, text.rfind('\n')};
  icalparser* parser = icalparser_new();
  if (!parser) return nullptr;
  icalparser_set_gen_data(parser, &source);
  const icalerrorstate malformed = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
  icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
  icalcomponent* root = icalparser_parse(parser, &LineSource::next);
  icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, malformed);
  icalparser_free(parser);
  return root;
}

}  // namespace

ParsedCalendar parseReminderCalendar(std::string_view bytes) {
  static const bool quiet = [] {
    icalerror_set_errors_are_fatal(0);
    return true;
  }();
  (void)quiet;

  ParsedCalendar out;
  Problems problems(out.problems);
  ComponentPtr root(parseText(bytes.substr(0, std::min(bytes.find('\0'), bytes.size()))));
  if (!root) {
    problems.add("not a complete iCalendar file");
    return out;
  }
  out.readable = true;

  Contents found;
  walk(root.get(), 0, found, problems);
  if (found.tooDeep) problems.add("calendars nested too deeply; the innermost were not read");
  out.reminders.reserve(found.todos.size());
  for (const Series& series : groupSeries(found.todos)) {
    // A series with nothing written apart and nothing excluded is due at
    // its first occurrence, the master's own date; an excluded day (EXDATE)
    // needs the series walked even without occurrences written apart.
    const bool walkSeries =
        !series.overrides.empty() || icalcomponent_get_first_property(series.master, ICAL_EXDATE_PROPERTY) != nullptr;
    std::optional<ReminderRecord> r =
        walkSeries ? readSeries(series, found, problems) : readTodo(series.master, found.zones, problems);
    if (!r) continue;
    if (r->due) resolveZone(*r->due, found.definitions);
    out.reminders.push_back(std::move(*r));
  }
  return out;
}

}  // namespace eventkit
