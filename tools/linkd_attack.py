#!/usr/bin/env python3
"""Drives lumerin-linkd through faults and attacks, on 127.0.0.1 only.

Subcommands (each bounded in count and time, each prints a PASS or FAIL line
and exits 1 on FAIL):
  seed LINKD_HOST COUNT FILE     creates COUNT links, writes their codes to FILE
  crash LINKD DB KILLS           kills the service at random moments during
                                 creates, restarts it, checks no answered code
                                 is lost
  diskfull LINKD DIR             fills the file system of DIR (a small tmpfs)
                                 and checks errors, queries, recovery
  attack HOST SECONDS            slow and hostile clients, until SECONDS pass
  measure HOST SECONDS CODES MS  well-formed queries and creates; FAIL on
                                 an error or a p99 latency above MS
"""

import asyncio
import http.client
import json
import os
import random
import select
import signal
import socket
import subprocess
import sys
import threading
import time


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


# --- the service ------------------------------------------------------------

class Linkd:
    """One lumerin-linkd process on a free loopback port."""

    def __init__(self, binary, db, log):
        self.process = subprocess.Popen(
            [binary, "--listen", "127.0.0.1:0", "--db", db],
            stdout=subprocess.PIPE, stderr=log)
        ready, _, _ = select.select([self.process.stdout], [], [], 10)
        line = self.process.stdout.readline().decode() if ready else ""
        if not line.startswith("listening on "):
            self.process.kill()
            self.process.wait()
            raise RuntimeError("lumerin-linkd did not start")
        self.host = line.split()[-1]

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.kill()

    def alive(self):
        return self.process.poll() is None


class Client:
    """A keep-alive connection that reconnects after a failure."""

    def __init__(self, host, timeout=5.0):
        self.address, port = host.rsplit(":", 1)
        self.port = int(port)
        self.host = host
        self.timeout = timeout
        self.connection = None

    def post(self, path, body):
        """(status, parsed JSON or None); status 0 when the exchange failed."""
        try:
            if self.connection is None:
                self.connection = http.client.HTTPConnection(
                    self.address, self.port, timeout=self.timeout)
            self.connection.request(
                "POST", path, body,
                {"Content-Type": "application/x-www-form-urlencoded"})
            answer = self.connection.getresponse()
            data = answer.read()
            try:
                return answer.status, json.loads(data)
            except ValueError:
                return answer.status, None
        except (OSError, http.client.HTTPException):
            if self.connection is not None:
                self.connection.close()
            self.connection = None
            return 0, None

    def create(self, long_url):
        """The code the service answered, or None."""
        status, answer = self.post("/create.php",
                                   "url=" + long_url + "&alias=&access_type=web")
        if status != 200 or not answer or answer.get("status") != 0:
            return None
        return answer["tinyurl"].rsplit("/", 1)[-1]

    def query(self, code):
        """The long URL behind code, or None."""
        status, answer = self.post(
            "/query.php", "tinyurl=http://" + self.host + "/" + code + "&access_type=web")
        if status != 200 or not answer or answer.get("status") != 0:
            return None
        return answer.get("longurl")


def long_url(run, number, length):
    """A distinct long URL of about `length` characters, a part record's shape."""
    key = "%08X%08X" % (run, number)
    return "http://txt1?" + key + "A" * max(0, length - 12 - len(key))


# --- seed -------------------------------------------------------------------

def seed(host, count, path):
    client = Client(host)
    codes = []
    run = int(time.time())
    for number in range(count):
        code = client.create(long_url(run, number, 200))
        if code is None:
            fail("seeding: create %d was refused" % number)
        codes.append(code)
    with open(path, "w") as out:
        out.write("\n".join(codes) + "\n")
    print("PASS: seeded %d codes" % len(codes))


# --- crash ------------------------------------------------------------------

def crash(binary, db, kills):
    """Kills the service `kills` times during a stream of creates."""
    log = open(db + ".log", "ab")
    answered = {}  # code -> long URL, every create answered with a code
    reused = []  # codes answered for two different long URLs
    lock = threading.Lock()
    attempts = [0]
    number = [0]
    deadline = time.time() + 600
    for kill in range(kills):
        if time.time() > deadline:
            fail("crash: out of time after %d kills" % kill)
        linkd = Linkd(binary, db, log)
        stop = threading.Event()

        def stream():
            client = Client(linkd.host, timeout=2.0)
            while not stop.is_set():
                with lock:
                    number[0] += 1
                    mine = number[0]
                    attempts[0] += 1
                url = long_url(7, mine, random.choice((64, 600, 1812)))
                code = client.create(url)
                if code is not None:
                    with lock:
                        if code in answered and answered[code] != url:
                            reused.append(code)
                        answered[code] = url

        threads = [threading.Thread(target=stream) for _ in range(4)]
        for thread in threads:
            thread.start()
        time.sleep(random.uniform(0.05, 0.6))
        linkd.kill()
        stop.set()
        for thread in threads:
            thread.join()

    linkd = Linkd(binary, db, log)
    try:
        client = Client(linkd.host)
        lost = [code for code, url in answered.items() if client.query(code) != url]
    finally:
        linkd.stop()
    print("crash: %d kills, %d create attempts, %d answered with a code, %d lost"
          % (kills, attempts[0], len(answered), len(lost)))
    if reused:
        fail("crash: codes handed out twice: %s" % reused[:5])
    if lost:
        fail("crash: lost codes, first ones: %s" % lost[:5])
    if not answered:
        fail("crash: no create was ever answered")
    print("PASS: every answered code resolves to its long URL after %d kills" % kills)


# --- disk full --------------------------------------------------------------

def free_bytes(path):
    stats = os.statvfs(path)
    return stats.f_bavail * stats.f_frsize


def diskfull(binary, directory):
    """Fills the file system of `directory` and checks the service's answers."""
    db = os.path.join(directory, "links.db")
    filler = os.path.join(directory, "filler")
    log = open(os.path.join(os.path.dirname(directory), "diskfull-linkd.log"), "ab")
    linkd = Linkd(binary, db, log)
    client = Client(linkd.host)
    stored = {}
    problems = []
    try:
        for number in range(200):
            url = long_url(1, number, 1812)
            code = client.create(url)
            if code is None:
                fail("diskfull: create refused while space was free")
            stored[code] = url
        # Leave about 256 KiB free, then create until the service refuses.
        with open(filler, "wb") as out:
            while free_bytes(directory) > 256 * 1024 + (1 << 20):
                out.write(b"\0" * (1 << 20))
            out.write(b"\0" * max(0, free_bytes(directory) - 256 * 1024))
        print("diskfull: %d KiB left free" % (free_bytes(directory) // 1024))
        successes_when_full, refusals = 0, 0
        deadline = time.time() + 60
        number = 1000
        while refusals < 200 and time.time() < deadline and number < 20000:
            url = long_url(2, number, 1812)
            number += 1
            code = client.create(url)
            if code is None:
                refusals += 1
            else:
                stored[code] = url
                successes_when_full += 1
        if not linkd.alive():
            problems.append("the service died while the disk was full")
        print("diskfull: %d creates answered with a code before the disk was full, "
              "%d refused once full" % (successes_when_full, refusals))
        if refusals == 0:
            problems.append("no create was refused on a full disk")
        unreadable = [code for code, url in stored.items() if client.query(code) != url]
        print("diskfull: %d of %d stored codes readable while full"
              % (len(stored) - len(unreadable), len(stored)))
        if unreadable:
            problems.append("%d stored codes unreadable while full" % len(unreadable))

        os.remove(filler)
        recovered = None
        for attempt in range(50):
            url = long_url(3, attempt, 1812)
            code = client.create(url)
            if code is not None:
                stored[code] = url
                recovered = attempt
                break
            time.sleep(0.1)
        if recovered is None:
            problems.append("creates still refused after space returned")
        else:
            print("diskfull: creates succeed again after %d refused retries" % recovered)
    finally:
        linkd.stop()

    linkd = Linkd(binary, db, log)
    try:
        client = Client(linkd.host)
        lost = [code for code, url in stored.items() if client.query(code) != url]
    finally:
        linkd.stop()
    print("diskfull: after a restart %d of %d answered codes resolve"
          % (len(stored) - len(lost), len(stored)))
    if lost:
        problems.append("%d answered codes lost" % len(lost))
    if problems:
        fail("diskfull: " + "; ".join(problems))
    print("PASS: full disk refused creates, kept queries and stored links, recovered")


# --- hostile clients --------------------------------------------------------

async def slow_headers(host, port, until):
    """Sends a request head one byte a second, reconnecting when cut off."""
    head = (b"POST /query.php HTTP/1.1\r\nHost: x\r\nX-Slow: "
            + b"s" * 20000 + b"\r\n\r\n")
    while time.time() < until:
        try:
            _, writer = await asyncio.open_connection(host, port)
            for byte in head:
                if time.time() >= until:
                    break
                writer.write(bytes([byte]))
                await writer.drain()
                await asyncio.sleep(1)
            writer.close()
        except OSError:
            await asyncio.sleep(1)


async def huge_headers(host, port, until):
    """Requests with a 100 KB header, again and again."""
    head = (b"POST /query.php HTTP/1.1\r\nHost: x\r\nX-Huge: " + b"h" * 100000
            + b"\r\nContent-Length: 0\r\n\r\n")
    while time.time() < until:
        try:
            reader, writer = await asyncio.open_connection(host, port)
            writer.write(head)
            await writer.drain()
            await asyncio.wait_for(reader.read(4096), 5)
            writer.close()
        except (OSError, asyncio.TimeoutError):
            pass
        await asyncio.sleep(0.05)


async def endless_body(host, port, until, chunked):
    """A body that never ends: endless chunks, or a declared length never met."""
    if chunked:
        head = b"POST /create.php HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
        piece = b"400\r\n" + b"u" * 1024 + b"\r\n"
    else:
        head = b"POST /create.php HTTP/1.1\r\nHost: x\r\nContent-Length: 60000\r\n\r\nurl="
        piece = b"u"
    while time.time() < until:
        try:
            _, writer = await asyncio.open_connection(host, port)
            writer.write(head)
            while time.time() < until:
                writer.write(piece)
                await writer.drain()
                await asyncio.sleep(0.01 if chunked else 1)
            writer.close()
        except OSError:
            await asyncio.sleep(0.5)


async def garbage(host, port, until, seed):
    """Pipelined garbage: random bytes and broken requests, as fast as taken."""
    chance = random.Random(seed)
    while time.time() < until:
        try:
            reader, writer = await asyncio.open_connection(host, port)
            for _ in range(200):
                if time.time() >= until:
                    break
                junk = bytes(chance.randrange(256) for _ in range(512))
                writer.write(junk + b"\r\n\r\nGET / HTTP/1.1\r\n\r\nPOST /create.php HTTP/9\r\n"
                             + b"Content-Length: -1\r\n\r\n" + junk)
                await writer.drain()
                await asyncio.sleep(0.01)
            writer.close()
        except OSError:
            await asyncio.sleep(0.2)


async def attack_all(host, seconds):
    address, port = host.rsplit(":", 1)
    until = time.time() + seconds
    tasks = [slow_headers(address, port, until) for _ in range(500)]
    tasks += [huge_headers(address, port, until) for _ in range(10)]
    tasks += [endless_body(address, port, until, chunked) for chunked in (True, False)
              for _ in range(10)]
    tasks += [garbage(address, port, until, seed) for seed in range(10)]
    await asyncio.gather(*tasks, return_exceptions=True)


def attack(host, seconds):
    asyncio.run(attack_all(host, seconds))
    print("attack: 500 slow-header, 10 huge-header, 20 endless-body, 10 garbage clients "
          "for %d s" % seconds)


def measure(host, seconds, codes_path, bound_ms):
    """Well-formed queries (90 %) and creates (10 %) from four clients."""
    with open(codes_path) as source:
        codes = [line.strip() for line in source if line.strip()]
    latencies, errors = [], [0]
    lock = threading.Lock()
    until = time.time() + seconds

    def work(worker):
        client = Client(host, timeout=5.0)
        chance = random.Random(worker)
        number = 0
        while time.time() < until:
            number += 1
            start = time.perf_counter()
            if chance.random() < 0.1:
                ok = client.create(long_url(worker + 100, number, 600)) is not None
            else:
                ok = client.query(chance.choice(codes)) is not None
            took = (time.perf_counter() - start) * 1000
            with lock:
                latencies.append(took)
                if not ok:
                    errors[0] += 1
            time.sleep(0.005)

    threads = [threading.Thread(target=work, args=(worker,)) for worker in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    latencies.sort()
    if not latencies:
        fail("measure: no request completed")
    p50 = latencies[len(latencies) // 2]
    p99 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.99))]
    print("measure: %d requests, %d errors, latency ms p50 %.2f p99 %.2f max %.2f"
          % (len(latencies), errors[0], p50, p99, latencies[-1]))
    if errors[0] or p99 > bound_ms:
        fail("measure: errors or p99 above %d ms" % bound_ms)
    print("PASS: well-formed clients answered within %d ms p99, no errors" % bound_ms)


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "seed" and len(argv) == 5:
        seed(argv[2], int(argv[3]), argv[4])
    elif command == "crash" and len(argv) == 5:
        crash(argv[2], argv[3], int(argv[4]))
    elif command == "diskfull" and len(argv) == 4:
        diskfull(argv[2], argv[3])
    elif command == "attack" and len(argv) == 4:
        attack(argv[2], int(argv[3]))
    elif command == "measure" and len(argv) == 6:
        measure(argv[2], int(argv[3]), argv[4], int(argv[5]))
    else:
        print(__doc__)
        sys.exit(2)


if __name__ == "__main__":
    main(sys.argv)
