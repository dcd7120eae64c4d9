-- Quorvan database schema, SQLite (embedded default provider).
--
-- Holds the tables the components read and write (alerts and subscriptions, attachments,
-- label texts, installed languages), the contract tables read by the reference checks and
-- the table of the RFI response stand-in, with the indexes their statements need.
-- Applied by `quorvan init` and `quorvan db init`. Every statement is idempotent
-- (IF NOT EXISTS), so the file can be applied again to an existing database.
--
-- Conventions shared with postgresql.sql:
--   * table and column names upper case, unquoted;
--   * flags (WEBALERT, MAILALERT, EXPIRED, MAILSENT, INTERNAL) are SMALLINT 0/1, so that
--     "= 1" works on both providers;
--   * dates are DATETIME holding text 'YYYY-MM-DD HH:MM:SS' (local time), which sorts and
--     compares chronologically as text;
--   * generated identities are INTEGER PRIMARY KEY AUTOINCREMENT (the rowid alias), so
--     that an identity is never handed out twice: attachment ids name folders and alert
--     ids stay in pages. Every other table keeps its rowid, which identifies the rows of
--     updatable row sets.
-- One statement per group of lines, ended by ";" at the end of a line; comments only on
-- lines of their own.

-- Alerts: one row per alert and receiver.
-- NOTIFICATIONTYPE and STATUS stay NULL when an alert is raised for a notification type
-- other than web, mail or both (no channel is derived from the subscription then).
CREATE TABLE IF NOT EXISTS ALERT (
    ALERTERID INTEGER PRIMARY KEY AUTOINCREMENT,
    ALERTTYPE INTEGER NOT NULL,
    DOCUMENTHEADERID TEXT,
    DOCUMENTLINEID TEXT,
    REVISION INTEGER,
    BUSINESSPARTNERID INTEGER,
    RECEIVERID TEXT NOT NULL,
    SENDERID TEXT,
    SUBJECT TEXT,
    BODY TEXT,
    NOTIFICATIONTYPE INTEGER,
    GENERATIONDATE DATETIME NOT NULL,
    ACTIVATIONDATE DATETIME,
    EXPIRATIONDATE DATETIME,
    EXPIRED SMALLINT NOT NULL DEFAULT 0,
    STATUS INTEGER,
    MAILSENT SMALLINT NOT NULL DEFAULT 0
);

-- A user's pending web alerts, deleting all alerts a user received, and the check whether
-- a user is still referenced as receiver.
CREATE INDEX IF NOT EXISTS IX_ALERT_RECEIVER ON ALERT (RECEIVERID, EXPIRED, STATUS);

-- The check whether a user is still referenced as sender.
CREATE INDEX IF NOT EXISTS IX_ALERT_SENDER ON ALERT (SENDERID);

-- Expiring the unexpired alerts of one or several documents, and of a document's reminders.
CREATE INDEX IF NOT EXISTS IX_ALERT_DOCUMENT ON ALERT (DOCUMENTHEADERID, EXPIRED);

-- Expiring alerts whose expiration date has passed.
CREATE INDEX IF NOT EXISTS IX_ALERT_EXPIRATION ON ALERT (EXPIRATIONDATE);

-- Selecting the alerts due for mailing, expiring delivered alerts, deleting expired alerts.
CREATE INDEX IF NOT EXISTS IX_ALERT_DELIVERY ON ALERT (EXPIRED, MAILSENT, NOTIFICATIONTYPE);

-- The check whether a business partner is still referenced by alerts.
CREATE INDEX IF NOT EXISTS IX_ALERT_BUSINESSPARTNER ON ALERT (BUSINESSPARTNERID);

-- Subscriptions: at most one row per user and alert type. The unique key also serves every
-- lookup by user (listing, subscription test, deletion, user reference check).
CREATE TABLE IF NOT EXISTS ALERTSSUBSCRIPTION (
    USERID TEXT NOT NULL,
    ALERTTYPE INTEGER NOT NULL,
    WEBALERT SMALLINT NOT NULL DEFAULT 0,
    MAILALERT SMALLINT NOT NULL DEFAULT 0,
    UNIQUE (USERID, ALERTTYPE)
);

-- Label texts per locale; read only. LOCALEID is a Windows locale number (1033, 1041, ...).
CREATE TABLE IF NOT EXISTS I18NTEXT (
    LOCALEID INTEGER NOT NULL,
    LABEL TEXT NOT NULL,
    TEXT TEXT NOT NULL,
    PRIMARY KEY (LOCALEID, LABEL)
);

-- Attachments: one row per attached file. The owner is (OBJECTTYPE, HEADERID, LINEID);
-- LINEID is NULL for an attachment of the document itself. FILENAME is the stored name:
-- the ATTACHMENTID in decimal, "_" and the user's file name.
CREATE TABLE IF NOT EXISTS ATTACHMENT (
    ATTACHMENTID INTEGER PRIMARY KEY AUTOINCREMENT,
    OBJECTTYPE INTEGER NOT NULL,
    HEADERID INTEGER NOT NULL,
    LINEID INTEGER,
    FILENAME TEXT NOT NULL,
    ATTACHMENTTYPECODE TEXT,
    INTERNAL SMALLINT NOT NULL DEFAULT 0,
    CREATEDON DATETIME NOT NULL
);

-- Every lookup of a document's or a line's attachments (listing, counting, duplicate file
-- name check, copying, deleting).
CREATE INDEX IF NOT EXISTS IX_ATTACHMENT_OWNER ON ATTACHMENT (OBJECTTYPE, HEADERID, LINEID);

-- Languages offered to users; read only.
CREATE TABLE IF NOT EXISTS INSTALLEDLANGUAGE (
    LOCALEID INTEGER PRIMARY KEY,
    LANGUAGEDESCRIPTION TEXT NOT NULL
);

-- Contract tables: owned by the contract pages of the web application; read here only to
-- tell whether master data is still referenced. Only the columns read here are kept.
-- SHIPTOADDR and SHIPFMADDR are address ids; BUYERID and SUPPLIERID user ids.
CREATE TABLE IF NOT EXISTS CONTRACTHEADER (
    CONTRACTHEADERID INTEGER PRIMARY KEY,
    SHIPTOADDR INTEGER,
    SHIPFMADDR INTEGER,
    BUSINESSPARTNERID INTEGER,
    CATEGORYID INTEGER,
    CURRENCYCODE TEXT,
    DELIVERYMETHODCODE TEXT,
    DELIVERYTERMCODE TEXT,
    CONTRACTOFFICE TEXT,
    PACKAGINGTERMCODE TEXT,
    PAYMENTMETHODCODE TEXT,
    PAYMENTTERMCODE TEXT,
    PENALTYTERMCODE TEXT,
    WARRANTYTERMCODE TEXT,
    BUYERID TEXT,
    SUPPLIERID TEXT
);

-- Address still referenced as ship-to address of a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_SHIPTOADDR ON CONTRACTHEADER (SHIPTOADDR);

-- Address still referenced as ship-from address of a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_SHIPFMADDR ON CONTRACTHEADER (SHIPFMADDR);

-- Business partner still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_BUSINESSPARTNERID ON CONTRACTHEADER (BUSINESSPARTNERID);

-- Category still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_CATEGORYID ON CONTRACTHEADER (CATEGORYID);

-- Currency still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_CURRENCYCODE ON CONTRACTHEADER (CURRENCYCODE);

-- Delivery method still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_DELIVERYMETHODCODE ON CONTRACTHEADER (DELIVERYMETHODCODE);

-- Delivery term still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_DELIVERYTERMCODE ON CONTRACTHEADER (DELIVERYTERMCODE);

-- Office still referenced as contract office.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_CONTRACTOFFICE ON CONTRACTHEADER (CONTRACTOFFICE);

-- Packaging term still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_PACKAGINGTERMCODE ON CONTRACTHEADER (PACKAGINGTERMCODE);

-- Payment method still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_PAYMENTMETHODCODE ON CONTRACTHEADER (PAYMENTMETHODCODE);

-- Payment term still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_PAYMENTTERMCODE ON CONTRACTHEADER (PAYMENTTERMCODE);

-- Penalty term still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_PENALTYTERMCODE ON CONTRACTHEADER (PENALTYTERMCODE);

-- Warranty term still referenced by a contract.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_WARRANTYTERMCODE ON CONTRACTHEADER (WARRANTYTERMCODE);

-- User still referenced as a contract's buyer.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_BUYERID ON CONTRACTHEADER (BUYERID);

-- User still referenced as a contract's supplier.
CREATE INDEX IF NOT EXISTS IX_CONTRACTHEADER_SUPPLIERID ON CONTRACTHEADER (SUPPLIERID);

CREATE TABLE IF NOT EXISTS CONTRACTLINE (
    CONTRACTLINEID INTEGER PRIMARY KEY,
    CONTRACTHEADERID INTEGER NOT NULL,
    SHIPTOADDR INTEGER,
    SHIPFMADDR INTEGER,
    COMMCODE TEXT,
    ADMINOFFICE TEXT,
    PRODID INTEGER,
    UNIT TEXT
);

-- Address still referenced as ship-to address of a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_SHIPTOADDR ON CONTRACTLINE (SHIPTOADDR);

-- Address still referenced as ship-from address of a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_SHIPFMADDR ON CONTRACTLINE (SHIPFMADDR);

-- Commodity still referenced by a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_COMMCODE ON CONTRACTLINE (COMMCODE);

-- Office still referenced as administering office of a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_ADMINOFFICE ON CONTRACTLINE (ADMINOFFICE);

-- Product still referenced by a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_PRODID ON CONTRACTLINE (PRODID);

-- Unit still referenced by a contract line.
CREATE INDEX IF NOT EXISTS IX_CONTRACTLINE_UNIT ON CONTRACTLINE (UNIT);

-- PLANTCODE is text: plant numbers are compared as their plain decimal text.
CREATE TABLE IF NOT EXISTS CONTRACTRESULT (
    CONTRACTRESULTID INTEGER PRIMARY KEY,
    CONTRACTHEADERID INTEGER NOT NULL,
    CONTRACTLINEID INTEGER,
    PLANTCODE TEXT
);

-- Plant still referenced by a contract result.
CREATE INDEX IF NOT EXISTS IX_CONTRACTRESULT_PLANTCODE ON CONTRACTRESULT (PLANTCODE);

CREATE TABLE IF NOT EXISTS CONTRACTUSERDATA (
    CONTRACTUSERDATAID INTEGER PRIMARY KEY,
    CONTRACTHEADERID INTEGER NOT NULL,
    CONTRACTLINEID INTEGER,
    UNITCODE TEXT
);

-- Unit still referenced by contract user data.
CREATE INDEX IF NOT EXISTS IX_CONTRACTUSERDATA_UNITCODE ON CONTRACTUSERDATA (UNITCODE);

-- RFI responses, as far as the RFI response component answers about them. BUSINESSPARTNERID
-- is NULL for a response made inside the buying organisation.
CREATE TABLE IF NOT EXISTS RFIRESPONSE (
    RFIRESPONSEID INTEGER PRIMARY KEY,
    BUSINESSPARTNERID INTEGER
);
