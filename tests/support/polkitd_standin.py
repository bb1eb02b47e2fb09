# SPDX-License-Identifier: GPL-2.0-or-later
'''polkit authority stand-in for tests, loaded into python3-dbusmock as a template.

Decides per action and, where told, per user (the uid of the subject's bus name, as polkitd
finds it), answers with an error like polkitd does when the subject has left the bus, and can
hold checks unanswered like a password prompt nobody answers. Controls, on the mock interface:
SetAllowed(actions), SetAllowedForUser(uid, actions), FailWith(message) (empty: no failure),
RefuseAs(kind) (how a check not allowed is answered, as polkitd answers it: '' a plain refusal,
'dismissed' a password prompt the user dismissed, 'no-agent' a check that needs a password with
no authentication agent registered), HoldNext(count), HoldUser(uid) (every check of that user's subjects, like prompts nobody
answers), HeldCount(), ReleaseHeld() (which also ends HoldUser). A held check is decided when it
is released, so a subject that has left meanwhile gets polkitd's error. Every check is recorded
(GetCalls).
'''

import dbus

from dbusmock import MOCK_IFACE

BUS_NAME = 'org.freedesktop.PolicyKit1'
MAIN_OBJ = '/org/freedesktop/PolicyKit1/Authority'
MAIN_IFACE = 'org.freedesktop.PolicyKit1.Authority'
SYSTEM_BUS = True


def load(mock, _parameters):
    mock.AddProperties(MAIN_IFACE, dbus.Dictionary({
        'BackendName': 'local',
        'BackendVersion': '0.8.15',
        'BackendFeatures': dbus.UInt32(1, variant_level=1),
    }, signature='sv'))
    mock.allowed = []
    mock.allowed_for_user = {}
    mock.failure = ''
    mock.refusal = ''
    mock.to_hold = 0
    mock.held_users = set()
    mock.held = []


def subject_uid(mock, subject):
    kind, details = subject
    if kind != 'system-bus-name':
        raise dbus.exceptions.DBusException('only bus name subjects are expected',
                                            name='org.freedesktop.PolicyKit1.Error.Failed')
    return int(mock.connection.call_blocking(
        'org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
        'GetConnectionUnixUser', 's', [str(details['name'])]))


def decide(mock, subject, action_id, ok_cb, err_cb):
    try:
        if mock.failure:
            raise dbus.exceptions.DBusException(mock.failure,
                                                name='org.freedesktop.PolicyKit1.Error.Failed')
        uid = subject_uid(mock, subject)
    except dbus.exceptions.DBusException as error:
        err_cb(error)
        return
    allowed = mock.allowed_for_user.get(uid, mock.allowed)
    if action_id in allowed:
        ok_cb((True, False, {}))
    elif mock.refusal == 'dismissed':
        ok_cb((False, False, {'polkit.dismissed': 'true'}))
    else:
        ok_cb((False, mock.refusal == 'no-agent', {}))


def held_user(mock, subject):
    try:
        return subject_uid(mock, subject) in mock.held_users
    except dbus.exceptions.DBusException:
        return False


@dbus.service.method(MAIN_IFACE, in_signature='(sa{sv})sa{ss}us', out_signature='(bba{ss})',
                     async_callbacks=('ok_cb', 'err_cb'))
def CheckAuthorization(self, subject, action_id, _details, _flags, _cancellation_id, ok_cb,
                       err_cb):
    if self.to_hold > 0:
        self.to_hold -= 1
        self.held.append((subject, action_id, ok_cb, err_cb))
    elif self.held_users and held_user(self, subject):
        self.held.append((subject, action_id, ok_cb, err_cb))
    else:
        decide(self, subject, action_id, ok_cb, err_cb)


@dbus.service.method(MAIN_IFACE, in_signature='s')
def CancelCheckAuthorization(_self, _cancellation_id):
    pass


@dbus.service.method(MAIN_IFACE, in_signature='(sa{sv})ss')
def RegisterAuthenticationAgent(_self, _subject, _locale, _object_path):
    pass


@dbus.service.method(MOCK_IFACE, in_signature='as')
def SetAllowed(self, actions):
    self.allowed = [str(action) for action in actions]


@dbus.service.method(MOCK_IFACE, in_signature='uas')
def SetAllowedForUser(self, uid, actions):
    self.allowed_for_user[int(uid)] = [str(action) for action in actions]


@dbus.service.method(MOCK_IFACE, in_signature='s')
def FailWith(self, message):
    self.failure = str(message)


@dbus.service.method(MOCK_IFACE, in_signature='s')
def RefuseAs(self, kind):
    self.refusal = str(kind)


@dbus.service.method(MOCK_IFACE, in_signature='u')
def HoldNext(self, count):
    self.to_hold = int(count)


@dbus.service.method(MOCK_IFACE, in_signature='u')
def HoldUser(self, uid):
    self.held_users.add(int(uid))


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='u')
def HeldCount(self):
    return len(self.held)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='u')
def ReleaseHeld(self):
    held, self.held = self.held, []
    self.held_users = set()
    for subject, action_id, ok_cb, err_cb in held:
        decide(self, subject, action_id, ok_cb, err_cb)
    return len(held)
