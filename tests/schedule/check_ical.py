#!/usr/bin/python3
"""Checks the calendar files of the schedule tests with a real iCalendar parser and dateutil's
rule expansion, in the time zone given by TZ."""
import datetime
import glob
import os
import subprocess
import sys
import tempfile

import icalendar
from dateutil import rrule, tz


def check_case(path, zone_name):
    zone = tz.gettz(zone_name)
    raw = open(path, 'rb').read()
    errors = []
    if not raw.endswith(b'\r\n') or b'\n' in raw.replace(b'\r\n', b''):
        errors.append('lines must end with CR LF')
    for line in raw.split(b'\r\n'):
        if len(line) > 75:
            errors.append('line longer than 75 octets: %r' % line[:40])
        try:
            line.decode('utf-8')
        except UnicodeDecodeError:
            errors.append('folding split a UTF-8 sequence: %r' % line[:40])
    cal = icalendar.Calendar.from_ical(raw)
    events = [c for c in cal.walk() if c.name == 'VEVENT']
    if len(events) != 1:
        return errors + ['expected one VEVENT, got %d' % len(events)]
    event = events[0]
    for prop in ('UID', 'DTSTAMP', 'DTSTART', 'DTEND', 'SUMMARY', 'DESCRIPTION', 'URL'):
        if prop not in event:
            errors.append('missing ' + prop)
    tzid = event['DTSTART'].params.get('TZID')
    timezones = {str(c['TZID']): c for c in cal.walk() if c.name == 'VTIMEZONE'}
    if tzid is None:
        start = event.decoded('DTSTART')
        end = event.decoded('DTEND')
        if start.tzinfo is None or start.utcoffset() != datetime.timedelta(0):
            errors.append('DTSTART is not in UTC')
        if timezones:
            errors.append('a VTIMEZONE nobody uses')
    else:
        # A zone whose clocks change keeps the wall-clock time: the start is read in the zone the
        # file names, and the file's own VTIMEZONE must agree with the zone database at every meeting.
        if tzid != zone_name or tzid not in timezones:
            return errors + ['TZID %r without its VTIMEZONE (zone %s)' % (tzid, zone_name)]
        if event['DTEND'].params.get('TZID') != tzid:
            errors.append('DTEND is not in the zone of DTSTART')
        own_zone = timezones[tzid].to_tz()
        start = event['DTSTART'].dt.replace(tzinfo=zone)
        end = event['DTEND'].dt.replace(tzinfo=zone)
    if end - start != datetime.timedelta(minutes=90):
        errors.append('DTEND is not 90 minutes after DTSTART')

    expected = {'dates': []}
    with open(path[:-4] + '.expected', encoding='utf-8') as f:
        for line in f:
            key, _, value = line.rstrip('\n').partition(' ')
            if key == 'date':
                expected['dates'].append(value)
            else:
                expected[key] = value
    if str(event.get('SUMMARY')) != expected['summary']:
        errors.append('summary %r != %r' % (str(event.get('SUMMARY')), expected['summary']))
    description = str(event.get('DESCRIPTION')).replace('\n', '|')
    if description != expected['description']:
        errors.append('description %r != %r' % (description, expected['description']))

    rule_text = event['RRULE'].to_ical().decode() if 'RRULE' in event else None
    if 'oneoff' in expected:
        # A single meeting needs no zone: it stays in UTC wherever it is written.
        if rule_text is not None or tzid is not None:
            errors.append('a one-off meeting with a rule or a zone')
        got = [start.astimezone(zone).strftime('%Y-%m-%d %H:%M')]
        if got != expected['dates']:
            errors.append('one-off at %s, expected %s' % (got, expected['dates']))
        return errors
    if rule_text is None:
        return errors + ['missing RRULE']
    occurrences = list(rrule.rrulestr(rule_text, dtstart=start))
    got = [o.astimezone(zone).strftime('%Y-%m-%d %H:%M') for o in occurrences]
    if tzid is not None:
        for o in occurrences:
            wall = o.replace(tzinfo=None)
            if own_zone.localize(wall).utcoffset() != o.utcoffset():
                errors.append('the VTIMEZONE gives %s another offset than %s' % (wall, zone_name))
    wanted = expected['dates']
    if len(got) != int(expected['count']):
        errors.append('%d occurrences, the summary counted %s (%s)' % (len(got), expected['count'], rule_text))
    if got != wanted:
        errors.append('dates differ for %s:\n  got      %s\n  expected %s' % (rule_text, got, wanted))
    return errors


def main():
    generator = sys.argv[1]
    failures = 0
    cases = 0
    # Zones that keep one offset all year get rules anchored in UTC; zones with daylight saving
    # time (north and south, and one that shifts by half an hour) get their own wall clock.
    for zone_name in ('UTC', 'Asia/Shanghai', 'Pacific/Honolulu', 'Asia/Kolkata', 'Europe/Berlin',
                      'America/New_York', 'Australia/Sydney', 'Australia/Lord_Howe'):
        with tempfile.TemporaryDirectory() as folder:
            env = dict(os.environ, TZ=zone_name, QT_QPA_PLATFORM='offscreen')
            subprocess.run([generator, folder], check=True, env=env, stdout=subprocess.DEVNULL)
            for path in sorted(glob.glob(os.path.join(folder, '*.ics'))):
                cases += 1
                for error in check_case(path, zone_name):
                    failures += 1
                    print('%s %s: %s' % (zone_name, os.path.basename(path), error))
    print('%d calendar files checked, %d problems' % (cases, failures))
    return 1 if failures or cases == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
