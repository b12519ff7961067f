UPDATE t SET a = 1, b = 2 WHERE id = 3
INSERT INTO t (a, b) VALUES (1, 2)
select a from t union select b from u